// vdirkit: the administration library from the command line.
//   vdirkit list                                   every site, "id|description|binding"
//   vdirkit choose                                 choose a site on the terminal, print its record
//   vdirkit create-vd SITE [PARENT] NAME PATH      publish PATH as the virtual directory NAME
//   vdirkit create-app SITE [PARENT] NAME FRIENDLY make that directory an application
//   vdirkit import-apache DIR                      sites from the <VirtualHost> blocks in
//   DIR/*.conf vdirkit hostname                               the machine's host name
// Exit status 0 on success, 1 on failure, 2 for a usage error.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "admin/vdirkit.h"

namespace {

constexpr size_t kListBytes = 1 << 20;

int Usage() {
    std::fputs(
        "usage: vdirkit list | choose | hostname\n"
        "       vdirkit create-vd SITE [PARENT] NAME PATH\n"
        "       vdirkit create-app SITE [PARENT] NAME FRIENDLY_NAME\n"
        "       vdirkit import-apache DIR\n"
        "The metabase file is $VDIRKIT_METABASE (default /etc/verbarium/metabase.json);\n"
        "Apache include files go to $VDIRKIT_APACHE_DIR.\n",
        stderr);
    return 2;
}

bool ParseSite(const std::string& text, int& site) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value <= 0 || value > 999999999) return false;
    site = static_cast<int>(value);
    return true;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "vdirkit: %s\n", message.c_str());
    return 1;
}

int Print(int ok, const std::string& text, const char* failure) {
    if (!ok) return Fail(failure);
    std::printf("%s\n", text.c_str());
    return 0;
}

// args: SITE [PARENT] NAME VALUE
int Create(const std::vector<std::string>& args, bool application) {
    if (args.size() != 3 && args.size() != 4) return Usage();
    int site = 0;
    if (!ParseSite(args[0], site)) return Fail("not a site number: " + args[0]);
    const std::string parent = args.size() == 4 ? args[1] : "";
    const std::string& name = args[args.size() - 2];
    const std::string& value = args.back();
    if (application) {
        if (CreateAppEx(site, parent.c_str(), name.c_str(), value.c_str()) != 0)
            return Fail("could not write every application property of " + name);
        return 0;
    }
    const unsigned status = CreateVDExStatus(site, parent.c_str(), name.c_str(), value.c_str());
    if (status != 0)
        return Fail("could not create the virtual directory " + name + " (error " +
                    std::to_string(status) + ")");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "list" && args.empty()) {
        std::string records(kListBytes, '\0');
        if (!GetVSListn(records.data(), records.size())) return Fail("cannot read the metabase");
        std::fputs(records.c_str(), stdout);
        return 0;
    }
    if ((command == "choose" || command == "hostname") && args.empty()) {
        std::string text(VDIRKIT_BUFFER_BYTES, '\0');
        const int ok = command == "choose" ? GetVSInfon(text.data(), text.size())
                                           : GetHostNamen(text.data(), text.size());
        return Print(ok, text.c_str(), command == "choose" ? "no site chosen" : "no host name");
    }
    if (command == "create-vd") return Create(args, false);
    if (command == "create-app") return Create(args, true);
    if (command == "import-apache" && args.size() == 1) {
        unsigned count = 0;
        if (const unsigned status = ImportApacheSites(args[0].c_str(), &count))
            return Fail("could not import the sites of " + args[0] + " (error " +
                        std::to_string(status) + ")");
        std::printf("imported %u sites\n", count);
        return 0;
    }
    return Usage();
}
