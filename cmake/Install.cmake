# `make install PREFIX=dir` lays out a runnable tree:
#   dir/cgi-bin/   orthd.cgi, ferrix.cgi and their INI files (programs read the INI next to them)
#   dir/srv/logs/  diagnostic log, request logs, session counter (../srv/logs/ from cgi-bin)
#   dir/texts/     interface-language texts
#   dir/templates/ the template tree
#   dir/bin/       the engine server
install(TARGETS orthd ferrix RUNTIME DESTINATION cgi-bin)
install(FILES data/cgi-bin/orthd.ini data/cgi-bin/ferrix.ini DESTINATION cgi-bin)
install(DIRECTORY data/texts/ DESTINATION texts)
install(DIRECTORY data/templates/ DESTINATION templates)
install(DIRECTORY DESTINATION srv/logs)
install(DIRECTORY data/www/ DESTINATION www)
