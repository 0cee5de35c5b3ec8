# What the desktop needs beside the executable: the man page, the systemd user unit that the
# session bus starts (the service file's SystemdService= names it), bash completion.
configure_file(${CMAKE_SOURCE_DIR}/data/zelprint.1.in ${CMAKE_BINARY_DIR}/zelprint.1 @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/zelprint.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/data/zelprint.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zelprint)

# The unit names the installed executable, so it is written with the prefix given at install
# time, in a folder of that prefix's own: installs to two prefixes at once do not mix. share/
# systemd/user is on the user manager's search path for /usr, /usr/local and ~/.local alike.
set(unit_template ${CMAKE_SOURCE_DIR}/data/zelprint.service.in)
install(CODE "
    set(ZELPRINT_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/zelprint\")
    string(MD5 prefix_key \"\${CMAKE_INSTALL_PREFIX}\")
    set(unit_file \"${CMAKE_BINARY_DIR}/install/\${prefix_key}/zelprint.service\")
    configure_file(\"${unit_template}\" \"\${unit_file}\" @ONLY)
    file(INSTALL \"\${unit_file}\"
         DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/systemd/user\")
")
