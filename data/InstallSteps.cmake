# The launcher, which names the installed program by its full path: known only at install time,
# when the prefix may be given on the command line (cmake --install --prefix). Included by the
# install script with TAVREL_DATA (the data/ source folder), TAVREL_BINDIR and TAVREL_DATADIR
# (relative to the prefix). DESTDIR, when set, is a staging folder in front of the prefix: the
# launcher is written there but names the program where it will finally be.
set(_exec "${CMAKE_INSTALL_PREFIX}/${TAVREL_BINDIR}/tavrel")
# Quoted as desktop entries require: the quoting rules first, then the string escapes.
string(REPLACE "\\" "\\\\" _exec "${_exec}")
string(REPLACE "\"" "\\\"" _exec "${_exec}")
string(REPLACE "`" "\\`" _exec "${_exec}")
string(REPLACE "$" "\\$" _exec "${_exec}")
string(REPLACE "%" "%%" _exec "${_exec}")
string(REPLACE "\\" "\\\\" _exec "${_exec}")
set(TAVREL_EXEC "\"${_exec}\"")
set(_launcher "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${TAVREL_DATADIR}/applications/tavrel.desktop")
message(STATUS "Installing: ${_launcher}")
configure_file("${TAVREL_DATA}/tavrel.desktop.in" "${_launcher}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_launcher}")
