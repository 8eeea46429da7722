-- wrk script: POSTs the form body read from the file named by the BODY_FILE environment variable.
local f = assert(io.open(os.getenv("BODY_FILE"), "rb"))
wrk.method = "POST"
wrk.body = f:read("*a")
f:close()
wrk.headers["Content-Type"] = "application/x-www-form-urlencoded"
