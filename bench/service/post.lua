-- wrk script: POSTs the form body read from the file named by the BODY_FILE environment variable.
-- With DISTINCT=1 every request's "text" starts with a number of its own ("17: ..."), so that no
-- answer can come from a cache of whole texts (distinct across wrk's threads too).
local f = assert(io.open(os.getenv("BODY_FILE"), "rb"))
wrk.method = "POST"
wrk.body = f:read("*a")
f:close()
wrk.headers["Content-Type"] = "application/x-www-form-urlencoded"

if os.getenv("DISTINCT") == "1" then
  local threads = 0
  function setup(thread)
    thread:set("first", threads * 1000000000)
    threads = threads + 1
  end
  local count = 0
  function request()
    count = count + 1
    local body = wrk.body:gsub("text=", "text=" .. (first + count) .. "%%3A+", 1)
    return wrk.format(nil, nil, nil, body)
  end
end
