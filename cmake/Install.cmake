# Installing the game as a Linux desktop expects it: the executable in bin/, the read-only
# data in share/zebrolite/ (found from the executable's own location), a desktop entry,
# the icon in the hicolor theme, AppStream metainfo and a man page.
set(ZEBROLITE_APP_ID org.zebrolite.Zebrolite)
set(ZEBROLITE_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/zebrolite)

install(TARGETS zebrolite RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${ZEBROLITE_GAME_DIR}/image DESTINATION ${ZEBROLITE_INSTALL_DATADIR})
install(FILES
  ${ZEBROLITE_GAME_DIR}/BrickMap.dat
  ${ZEBROLITE_GAME_DIR}/music.wav
  ${ZEBROLITE_GAME_DIR}/hit.wav
  ${ZEBROLITE_GAME_DIR}/blast.wav
  ${ZEBROLITE_GAME_DIR}/menu_select.wav
  DESTINATION ${ZEBROLITE_INSTALL_DATADIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/${ZEBROLITE_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/${ZEBROLITE_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Replay files (.zebreplay) open in the game: the desktop entry names their type.
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/${ZEBROLITE_APP_ID}.mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${ZEBROLITE_APP_ID}.xml)
foreach(size 16 32 48 64 128 256)
  install(FILES ${ZEBROLITE_GENERATED_DIR}/resources/icon131-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${ZEBROLITE_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/docs/zebrolite.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zebrolite)

# The score server, its systemd units (not enabled: `systemctl enable --now zebrolite-scored`,
# or several zebrolite-scored@PORT behind nginx, whose configuration goes to the docs).
if(ZEBROLITE_BUILD_SERVER)
  install(TARGETS zebrolite-scored RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The unit names the executable by its installed path, known only at install time.
  install(CODE "set(ZEBROLITE_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    configure_file(${PROJECT_SOURCE_DIR}/server/zebrolite-scored.service.in
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/system/zebrolite-scored.service\" @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/server/deploy/zebrolite-scored@.service.in
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/system/zebrolite-scored@.service\" @ONLY)")
  install(FILES ${PROJECT_SOURCE_DIR}/server/deploy/nginx-site.conf.in DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zebrolite)
endif()
