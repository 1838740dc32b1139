# Installation (cmake --install), the desktop launcher, icon and AppStream data, the Debian
# package (cpack -G DEB) and the tests of the files a desktop reads.
include(GNUInstallDirs)

# The version comes from project(): the program says it in --version and the About box.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/app/CommandLine.cpp PROPERTIES
  COMPILE_DEFINITIONS "KV_VERSION=\"${PROJECT_VERSION}\"")

set(KV_LINUX_DIR ${CMAKE_SOURCE_DIR}/packaging/linux)
set(KV_METAINFO io.github.kvfree.KVFree.metainfo.xml)
configure_file(${KV_LINUX_DIR}/${KV_METAINFO} ${CMAKE_BINARY_DIR}/${KV_METAINFO} @ONLY)

# Two Debian packages: kvfree-tools with kvtool alone (no GDAL among its dependencies), and kvfree
# with everything else, the commands that read GDAL sources included.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME desktop)
install(TARGETS kvtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
# The commands that read GDAL sources, which kvtool starts from beside itself.
if(TARGET kvtool-gdal)
  install(TARGETS kvtool-gdal RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The demo data a first start copies into the user's working folder; run-time files (kelvw.cfg,
# logs, the vessel database, screenshots) stay behind.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/demo/charts ${CMAKE_SOURCE_DIR}/demo/routes ${CMAKE_SOURCE_DIR}/demo/tides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kvfree/demo
        PATTERN ".keep" EXCLUDE PATTERN "*.bak*" EXCLUDE PATTERN ".kvtmp-*" EXCLUDE)
file(GLOB KV_DEMO_SOUNDS ${CMAKE_SOURCE_DIR}/demo/*.wav ${CMAKE_SOURCE_DIR}/demo/*.WAV)
if(KV_DEMO_SOUNDS)
  install(FILES ${KV_DEMO_SOUNDS} DESTINATION ${CMAKE_INSTALL_DATADIR}/kvfree/demo)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kvfree)
if(EXISTS ${CMAKE_SOURCE_DIR}/docs/manual)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/manual/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kvfree)
endif()

if(KV_BUILD_GUI)
  target_compile_definitions(kvfree PRIVATE
    KV_INSTALLED_DEMO_DIR="${CMAKE_INSTALL_FULL_DATADIR}/kvfree/demo"
    KV_SOURCE_DEMO_DIR="${CMAKE_SOURCE_DIR}/demo")
  install(TARGETS kvfree RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${KV_LINUX_DIR}/kvfree.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_BINARY_DIR}/${KV_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${KV_LINUX_DIR}/kvfree.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

  # The bitmap icons are rendered from the one drawing at build time (librsvg2-bin).
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  set(KV_ICONS)
  foreach(size 48 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}/kvfree.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} ${KV_LINUX_DIR}/kvfree.svg -o ${png}
      DEPENDS ${KV_LINUX_DIR}/kvfree.svg VERBATIM)
    list(APPEND KV_ICONS ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(kvfree_icons ALL DEPENDS ${KV_ICONS})
  if(TARGET test_ui)
    # The install test installs the icons too.
    add_dependencies(test_ui kvfree_icons)
    target_compile_definitions(test_ui PRIVATE KV_CMAKE_COMMAND="${CMAKE_COMMAND}")
  endif()

  find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(APPSTREAMCLI appstreamcli)
  add_test(NAME desktop.entry_validates
           COMMAND ${DESKTOP_FILE_VALIDATE} ${KV_LINUX_DIR}/kvfree.desktop)
  add_test(NAME desktop.metainfo_validates
           COMMAND ${APPSTREAMCLI} validate --no-net ${CMAKE_BINARY_DIR}/${KV_METAINFO})
  # desktop-file-validate prints hints but still exits 0: hints count as failures here too.
  set_tests_properties(desktop.entry_validates PROPERTIES FAIL_REGULAR_EXPRESSION "error|warning|hint")
  set_tests_properties(desktop.entry_validates desktop.metainfo_validates PROPERTIES LABELS process)
endif()

# The Debian packages: kvfree_<version>_amd64.deb and kvfree-tools_<version>_amd64.deb, installing
# to /usr, their dependencies found by dpkg-shlibdeps from the libraries the programs link.
set(CPACK_PACKAGE_NAME kvfree)
set(CPACK_PACKAGE_VENDOR "KVFree")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "KVFree developers <kvfree@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chart plotter for small vessels")
set(CPACK_PACKAGE_DESCRIPTION "KVFree takes GPS fixes and AIS reports from one NMEA 0183 serial link and draws own ship, track, route, chart waypoints and AIS targets over vector charts. Serial access needs membership of the group dialout.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL desktop tools)
set(CPACK_DEBIAN_DESKTOP_PACKAGE_NAME kvfree)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME kvfree-tools)
set(CPACK_DEBIAN_DESKTOP_PACKAGE_DEPENDS "kvfree-tools (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "Command-line companion of the KVFree chart plotter\nkvtool decodes AIS and NMEA 0183 sentences, converts routes, waypoints and track logs, renders chart views and simulates voyages. Its commands that read GDAL sources come with the package kvfree.")
include(CPack)
