#include "client/SocketErrors.h"

#include <cerrno>

RecvErrorClass ClassifyRecvError(int error) {
    switch (error) {
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
            return RecvErrorClass::WouldBlock;
        case EINTR:
            return RecvErrorClass::Interrupted;
        case ENETDOWN:
        case ENETRESET:
        case ECONNABORTED:
        case ECONNRESET:
        case ESHUTDOWN:
        case ETIMEDOUT:
        case ECONNREFUSED:
        case EHOSTDOWN:
            return RecvErrorClass::Disconnection;
        case EFAULT:
        case EINVAL:
        case EINPROGRESS:
        case ENOTSOCK:
        case EMSGSIZE:
        case EOPNOTSUPP:
        case ENOTCONN:
        case EBADF:
            return RecvErrorClass::Strange;
        default:
            return RecvErrorClass::Other;
    }
}
