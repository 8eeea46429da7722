#include <gtest/gtest.h>

#include "client/ParseResponseHeader.h"

TEST(ParseResponseHeaderTest, StatusCodes) {
    struct Case {
        const char* block;
        bool wellFormed;
        const char* status;
    };
    for (const Case& c : {
             Case{"HTTP/1.0 200 OK", true, "200"},
             Case{"HTTP/1.1 304 Not Modified", true, "304"},
             Case{"HTTP/1.0 503", true, "503"},
             Case{"HTTP/1.0 20 OK", false, ""},
             Case{"HTTP/1.0 2000 OK", false, ""},
             Case{"HTTP/1.0 abc OK", false, ""},
             Case{"HTTP/1.0", false, ""},
             Case{"", false, ""},
         }) {
        const ResponseHeader h = ParseResponseHeader(c.block);
        EXPECT_EQ(h.wellFormed, c.wellFormed) << c.block;
        EXPECT_EQ(h.status, c.status) << c.block;
    }
}

TEST(ParseResponseHeaderTest, KeptHeadersInAnyCaseAndOthersIgnored) {
    const ResponseHeader h = ParseResponseHeader(
        "HTTP/1.0 200 OK\r\ncontent-type:  text/css \r\nExpires: Thu, 01 Jan 2037\r\n"
        "PRAGMA: no-cache\r\nCache-Control: max-age=60\r\nSet-Cookie: ud=a\r\n"
        "X-Other: 1\r\nset-cookie: osp=0001; expires=x\r\nServer: x:y");
    EXPECT_TRUE(h.wellFormed);
    EXPECT_EQ(h.contentType, "text/css");
    EXPECT_EQ(h.expires, "Thu, 01 Jan 2037");
    EXPECT_EQ(h.pragma, "no-cache");
    EXPECT_EQ(h.cacheControl, "max-age=60");
    EXPECT_EQ(h.setCookies, (std::vector<std::string>{"ud=a", "osp=0001; expires=x"}));
}

TEST(ParseResponseHeaderTest, LineWithoutColonIsMalformed) {
    for (const char* block : {"HTTP/1.0 200 OK\r\nbroken", "HTTP/1.0 200 OK\r\n",
                              "HTTP/1.0 200 OK\r\nA: 1\r\n\r\nB: 2"}) {
        EXPECT_FALSE(ParseResponseHeader(block).wellFormed) << block;
    }
    EXPECT_FALSE(ParseResponseHeader("HTTP/1.0 200 OK\r\nContent-Type: a\r\nbad").wellFormed);
}
