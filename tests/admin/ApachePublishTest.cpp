// An installer's whole road under Apache httpd: the site is imported from an Apache
// configuration, the installed tree's cgi-bin is published with bin/vdirkit, and Apache serves
// orthd.cgi through the new virtual directory from the exported include file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/FakeEngineServer.h"
#include "support/HttpClient.h"
#include "support/LiveService.h"

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

constexpr int kStartAttempts = 600;  // of 50 ms

// Runs the installed tool with the metabase of this test; its exit status.
int Vdirkit(const std::string& tree, const std::string& state, const std::string& arguments) {
    const std::string command =
        "VDIRKIT_METABASE='" + state + "/metabase.json' " + "VDIRKIT_APACHE_DIR='" + state +
        "/vdirkit' '" + tree + "/bin/vdirkit' " + arguments + " >>'" + state + "/vdirkit.out' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ApacheBinary() {
    for (const char* path : {"/usr/sbin/apache2", "/usr/bin/apache2"})
        if (fs::exists(path)) return path;
    return {};
}

// The server configuration with the sites folder an administrator keeps; the site includes the
// file that vdirkit writes for it.
void WriteApacheConfiguration(const std::string& state, const std::string& tree,
                              unsigned short port) {
    fs::create_directories(state + "/sites");
    std::ofstream(state + "/sites/spell.conf")
        << "<VirtualHost 127.0.0.1:" << port << ">\n"
        << "    ServerName spell.test\n"
        << "    DocumentRoot \"" << tree << "/www\"\n"
        << "    IncludeOptional \"" << state << "/vdirkit/site-1.conf\"\n"
        << "</VirtualHost>\n";
    std::ofstream(state + "/httpd.conf")
        << "ServerRoot \"" << state << "\"\nServerName 127.0.0.1\nListen 127.0.0.1:" << port
        << "\nPidFile \"" << state << "/httpd.pid\"\nErrorLog \"" << state << "/httpd.error.log\"\n"
        << "User www-data\nGroup www-data\n"
        << "LoadModule mpm_prefork_module /usr/lib/apache2/modules/mod_mpm_prefork.so\n"
        << "LoadModule authz_core_module /usr/lib/apache2/modules/mod_authz_core.so\n"
        << "LoadModule alias_module /usr/lib/apache2/modules/mod_alias.so\n"
        << "LoadModule cgi_module /usr/lib/apache2/modules/mod_cgi.so\n"
        << "LoadModule mime_module /usr/lib/apache2/modules/mod_mime.so\n"
        << "TypesConfig /etc/mime.types\n"
        << "<Directory />\n    Require all denied\n    AllowOverride None\n</Directory>\n"
        << "<Directory \"" << tree << "/www\">\n    Require all granted\n</Directory>\n"
        << "Include \"" << state << "/sites/*.conf\"\n";
}

// Apache started as root runs the programs as www-data.
void OpenTreeToTheWebServer(const std::string& tree) {
    for (const fs::path& p : {fs::path(tree), fs::path(tree).parent_path()})
        fs::permissions(p, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(tree + "/srv/logs", fs::perms::all);
}

TEST(ApachePublishTest, OrthdAnswersThroughThePublishedVirtualDirectory) {
    const std::string apache = ApacheBinary();
    if (apache.empty()) GTEST_SKIP() << "apache2 is not installed";
    LiveService service;  // the installed tree and its engine server
    if (service.webServerMissing) GTEST_SKIP() << service.problem;
    ASSERT_EQ(service.problem, "");
    TempDir dir;
    const std::string state = dir.path().string(), tree = service.tree();
    const unsigned short port = UnusedLoopbackPort();
    WriteApacheConfiguration(state, tree, port);
    OpenTreeToTheWebServer(tree);

    ASSERT_EQ(Vdirkit(tree, state, "import-apache '" + state + "/sites'"), 0)
        << ReadFile(state + "/vdirkit.out");
    ASSERT_EQ(Vdirkit(tree, state, "create-vd 1 spell '" + tree + "/cgi-bin'"), 0)
        << ReadFile(state + "/vdirkit.out");
    ASSERT_EQ(Vdirkit(tree, state, "create-app 1 spell Verbarium"), 0);
    ASSERT_EQ(Vdirkit(tree, state, "list"), 0);
    EXPECT_NE(ReadFile(state + "/vdirkit.out")
                  .find("1|spell.test|127.0.0.1:" + std::to_string(port) + ":spell.test\n"),
              std::string::npos);

    ChildProcess httpd({apache, "-f", state + "/httpd.conf", "-DFOREGROUND"}, state + "/httpd.out");
    HttpResponse answer;
    for (int i = 0; i < kStartAttempts && httpd.running() && answer.status == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        answer = HttpRequest(port, "POST", "/spell/orthd.cgi",
                             "cmd=spell&slang=en_US&text=" + UrlEncode("A sentense"));
    }
    ASSERT_EQ(answer.status, 200) << ReadFile(state + "/httpd.error.log")
                                  << ReadFile(state + "/httpd.out");
    EXPECT_NE(answer.body.find(">sentense<"), std::string::npos) << answer.body;
    EXPECT_EQ(HttpRequest(port, "GET", "/spell/orthd.ini").status, 403);
}

}  // namespace
