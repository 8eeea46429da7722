#pragma once
// How the engine-server reader treats a failed receive, by error number. The classes follow the
// Winsock cases of the original reader, mapped to their POSIX errno equivalents:
//   would block     10035 WSAEWOULDBLOCK          -> EAGAIN / EWOULDBLOCK
//   disconnection   10050 WSAENETDOWN, 10052 WSAENETRESET, 10053 WSAECONNABORTED,
//                   10054 WSAECONNRESET, 10058 WSAESHUTDOWN, 10060 WSAETIMEDOUT,
//                   10061 WSAECONNREFUSED, 10064 WSAEHOSTDOWN
//                   -> ENETDOWN, ENETRESET, ECONNABORTED, ECONNRESET, ESHUTDOWN, ETIMEDOUT,
//                      ECONNREFUSED, EHOSTDOWN
//   strange         10014 WSAEFAULT, 10022 WSAEINVAL, 10036 WSAEINPROGRESS, 10038 WSAENOTSOCK,
//                   10040 WSAEMSGSIZE, 10045 WSAEOPNOTSUPP, 10057 WSAENOTCONN, 10093
//                   WSANOTINITIALISED
//                   -> EFAULT, EINVAL, EINPROGRESS, ENOTSOCK, EMSGSIZE, EOPNOTSUPP, ENOTCONN, EBADF
//                   (logged, then treated as a disconnection)
//   interrupted     10004 WSAEINTR -> EINTR: retried at once (a signal is not a failure here)
//   other           counted as a retry
enum class RecvErrorClass { WouldBlock, Disconnection, Strange, Interrupted, Other };

RecvErrorClass ClassifyRecvError(int error);
