# Installs the game into a temporary root with DESTDIR, checks what lands where, and runs the
# installed game headless from another folder: it must find its data from its own location
# and keep the player's files in $XDG_DATA_HOME/zebrolite/.
#   cmake -DBUILD_DIR=... -DSCRATCH=... -P install_test.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/home ${SCRATCH}/elsewhere)
set(root ${SCRATCH}/root)
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root} ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
  OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()

foreach(file
    bin/zebrolite
    share/zebrolite/BrickMap.dat share/zebrolite/music.wav share/zebrolite/image/cover.png
    share/applications/org.zebrolite.Zebrolite.desktop
    share/metainfo/org.zebrolite.Zebrolite.metainfo.xml
    share/mime/packages/org.zebrolite.Zebrolite.xml
    share/icons/hicolor/16x16/apps/org.zebrolite.Zebrolite.png
    share/icons/hicolor/256x256/apps/org.zebrolite.Zebrolite.png
    share/man/man6/zebrolite.6)
  if(NOT EXISTS ${root}/usr/${file})
    message(FATAL_ERROR "not installed: /usr/${file}")
  endif()
endforeach()

find_program(DESKTOP_VALIDATE desktop-file-validate)
if(DESKTOP_VALIDATE)
  execute_process(COMMAND ${DESKTOP_VALIDATE} ${root}/usr/share/applications/org.zebrolite.Zebrolite.desktop
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate: ${out}")
  endif()
endif()
# The replay type: well-formed, and read by the MIME database as a type of its own with the
# extension, which the desktop entry opens.
find_program(XMLLINT xmllint)
if(XMLLINT)
  execute_process(COMMAND ${XMLLINT} --noout ${root}/usr/share/mime/packages/org.zebrolite.Zebrolite.xml
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "xmllint: ${out}")
  endif()
endif()
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
  execute_process(COMMAND ${UPDATE_MIME} ${root}/usr/share/mime RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  file(READ ${root}/usr/share/mime/globs2 globs)
  if(NOT status EQUAL 0 OR NOT EXISTS ${root}/usr/share/mime/application/x-zebrolite-replay.xml
     OR NOT globs MATCHES "application/x-zebrolite-replay:\\*\\.zebreplay")
    message(FATAL_ERROR "update-mime-database does not take the replay type: ${out}")
  endif()
endif()
file(READ ${root}/usr/share/applications/org.zebrolite.Zebrolite.desktop desktop_entry)
string(REGEX MATCH "\nMimeType=[^\n]*" mime_line "${desktop_entry}")
if(NOT mime_line MATCHES "application/x-zebrolite-replay")
  message(FATAL_ERROR "the desktop entry does not open replays: ${mime_line}")
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${root}/usr/share/metainfo/org.zebrolite.Zebrolite.metainfo.xml
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate: ${out}")
  endif()
endif()

file(WRITE ${SCRATCH}/play.zs "seed 1\ntick 60\nkey RETURN\ntick 60\nkey RETURN\ntick 60\nkey RETURN\ntick 60\ndump\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env HOME=${SCRATCH}/home XDG_DATA_HOME=${SCRATCH}/home/data
    ${root}/usr/bin/zebrolite --headless --script ${SCRATCH}/play.zs
  WORKING_DIRECTORY ${SCRATCH}/elsewhere
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the installed game ended with status ${status}: ${err}")
endif()
if(NOT out MATCHES "\"state\":\"Playing\"" OR NOT out MATCHES "\\[[1-6],[0-9]+,[0-9]\\]")
  message(FATAL_ERROR "the installed game did not reach a level with bricks: ${out} ${err}")
endif()
if(err MATCHES "messagebox")
  message(FATAL_ERROR "the installed game reported: ${err}")
endif()
foreach(file AutoSave.dat ScoreList.sav)
  if(NOT EXISTS ${SCRATCH}/home/data/zebrolite/${file})
    message(FATAL_ERROR "${file} is not in $XDG_DATA_HOME/zebrolite/")
  endif()
  if(EXISTS ${root}/usr/bin/${file} OR EXISTS ${root}/usr/share/zebrolite/${file})
    message(FATAL_ERROR "${file} was written into the installed game")
  endif()
endforeach()

# The score server, when it is built: the executable runs from its installed place and the
# systemd units (the single server's, and the template of several behind nginx) are valid
# (where systemd-analyze exists), pointed at the installed executable.
if(SERVER)
  if(NOT EXISTS ${root}/usr/bin/zebrolite-scored)
    message(FATAL_ERROR "the score server is not installed")
  endif()
  execute_process(COMMAND ${root}/usr/bin/zebrolite-scored --version RESULT_VARIABLE status OUTPUT_VARIABLE out)
  if(NOT status EQUAL 0 OR NOT out MATCHES "^zebrolite-scored ")
    message(FATAL_ERROR "the installed score server does not run: ${out}")
  endif()
  find_program(SYSTEMD_ANALYZE systemd-analyze)
  # The template is verified as one of its instances.
  foreach(names IN ITEMS "zebrolite-scored.service|zebrolite-scored.service" "zebrolite-scored@.service|zebrolite-scored@8411.service")
    string(REPLACE "|" ";" names "${names}")
    list(GET names 0 installed)
    list(GET names 1 checked)
    set(unit ${root}/usr/lib/systemd/system/${installed})
    if(NOT EXISTS ${unit})
      message(FATAL_ERROR "the systemd unit ${installed} is not installed")
    endif()
    file(READ ${unit} text)
    if(NOT text MATCHES "ExecStart=/usr/bin/zebrolite-scored " OR NOT text MATCHES "DynamicUser=yes"
       OR NOT text MATCHES "ProtectSystem=strict" OR NOT text MATCHES "NoNewPrivileges=yes")
      message(FATAL_ERROR "the systemd unit ${installed} lacks its start command or hardening")
    endif()
    if(SYSTEMD_ANALYZE)
      string(REPLACE "/usr/bin/zebrolite-scored" "${root}/usr/bin/zebrolite-scored" text "${text}")
      file(WRITE ${SCRATCH}/unit/${checked} "${text}")
      execute_process(COMMAND ${SYSTEMD_ANALYZE} verify ${SCRATCH}/unit/${checked}
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
      if(NOT status EQUAL 0)
        message(FATAL_ERROR "systemd-analyze verify ${installed}: ${out}")
      endif()
    endif()
  endforeach()
  if(NOT EXISTS ${root}/usr/share/doc/zebrolite/nginx-site.conf.in)
    message(FATAL_ERROR "the nginx site of several servers is not installed")
  endif()
endif()
