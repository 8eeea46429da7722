-- wrk script: POSTs the body in BODY_FILE and stops after REQUESTS answers (one thread).
local f = assert(io.open(os.getenv("BODY_FILE"), "rb"))
wrk.method = "POST"
wrk.body = f:read("*a")
f:close()
wrk.headers["Content-Type"] = "application/x-www-form-urlencoded"
local limit = tonumber(os.getenv("REQUESTS"))
local answered = 0
function response(status, headers, body)
  answered = answered + 1
  if answered >= limit then wrk.thread:stop() end
end
