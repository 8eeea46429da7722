# `make install PREFIX=dir` lays out a runnable tree:
#   dir/cgi-bin/   orthd.cgi, ferrix.cgi and their INI files (programs read the INI next to them;
#                  the web server runs them with cgi-bin/ as working directory)
#   dir/srv/logs/  diagnostic log, request logs, session counter (../srv/logs/ from cgi-bin)
#   dir/texts/     interface-language texts, text_<lang>.txt (":app_path:../texts/")
#   dir/templates/ the look-and-feel tree ("lf_mapping" default ../templates/): one folder per
#                  schema (1000, 2000) with its templ/ folder, and banners/
#   dir/bin/       the engine server
install(TARGETS orthd ferrix RUNTIME DESTINATION cgi-bin)
install(FILES data/cgi-bin/orthd.ini data/cgi-bin/ferrix.ini DESTINATION cgi-bin)
install(DIRECTORY data/texts/ DESTINATION texts)
install(DIRECTORY data/templates/ DESTINATION templates)
install(DIRECTORY DESTINATION srv/logs)
install(DIRECTORY data/www/ DESTINATION www)
# The administration library and its command-line tool (bin/vdirkit finds ../lib/libvdirkit.so).
install(TARGETS VDIRKIT LIBRARY DESTINATION lib)
install(TARGETS vdirkit_tool RUNTIME DESTINATION bin)
install(FILES src/admin/vdirkit.h DESTINATION include)
