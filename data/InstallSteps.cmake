# Install-time steps that plain install() rules cannot express. Included by the install
# script with TAVREL_DATA (data/ source folder), TAVREL_PROGRAM_DIR (program folder, relative
# to the prefix) and TAVREL_PROGRAM_NAME (the executable's file name, empty without one).
set(_prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(_program_dir "${_prefix}/${TAVREL_PROGRAM_DIR}")

# The keyword list in the program folder is the user's once installed: a new install seeds it
# only where there is none.
if(EXISTS "${_program_dir}/ListeUrl.dat")
  message(STATUS "Kept: ${_program_dir}/ListeUrl.dat")
else()
  file(INSTALL "${TAVREL_DATA}/ListeUrl.dat" DESTINATION "${_program_dir}")
endif()

if(TAVREL_PROGRAM_NAME)
  # bin/tavrel, so that the program starts from a shell; the program finds its folder through
  # the link.
  file(MAKE_DIRECTORY "${_prefix}/bin")
  file(RELATIVE_PATH _target "${_prefix}/bin" "${_program_dir}/${TAVREL_PROGRAM_NAME}")
  message(STATUS "Installing: ${_prefix}/bin/tavrel -> ${_target}")
  file(CREATE_LINK "${_target}" "${_prefix}/bin/tavrel" SYMBOLIC)

  # The launcher names the program by its full path, quoted as desktop entries require.
  set(_exec "${CMAKE_INSTALL_PREFIX}/${TAVREL_PROGRAM_DIR}/${TAVREL_PROGRAM_NAME}")
  string(REPLACE "\\" "\\\\" _exec "${_exec}")
  string(REPLACE "\"" "\\\"" _exec "${_exec}")
  string(REPLACE "`" "\\`" _exec "${_exec}")
  string(REPLACE "$" "\\$" _exec "${_exec}")
  string(REPLACE "%" "%%" _exec "${_exec}")
  string(REPLACE "\\" "\\\\" _exec "${_exec}")
  set(TAVREL_EXEC "\"${_exec}\"")
  set(_launcher "${_prefix}/share/applications/tavrel.desktop")
  message(STATUS "Installing: ${_launcher}")
  configure_file("${TAVREL_DATA}/tavrel.desktop.in" "${_launcher}" @ONLY)
endif()
