# The window Form1, the canvas widget picMain, the platform services on Qt and
# the program Project1 around them. The pieces live in a static library so
# that the window tests and the benchmark drive the very same code.

set(PROJECT1_VERSION "1.00")
set(PROJECT1_VERSION_NUMBER "1.0.0.0")
set(PROJECT1_DESCRIPTION "Triangulation DLL example")
# Host of the library's information page; the reserved .example domain keeps
# it from naming anybody.
set(PROJECT1_INFO_HOST "www.vantrel.example")

configure_file(${CMAKE_CURRENT_SOURCE_DIR}/Version.h.in
  ${CMAKE_CURRENT_BINARY_DIR}/generated/Version.h @ONLY)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/project1.desktop.in
  ${CMAKE_CURRENT_BINARY_DIR}/project1.desktop @ONLY)

add_library(demowindow STATIC
  Artwork.cpp
  Form1.cpp
  PictureBox.cpp
  QtPlatform.cpp)
set_target_properties(demowindow PROPERTIES AUTOMOC ON)
target_include_directories(demowindow PUBLIC
  ${CMAKE_CURRENT_SOURCE_DIR}
  ${CMAKE_CURRENT_BINARY_DIR}/generated)
target_link_libraries(demowindow
  PUBLIC democanvas pointset Qt6::Widgets
  PRIVATE project_options)

qt_add_executable(Project1 WIN32 main.cpp VersionRecord.cpp)
target_link_libraries(Project1 PRIVATE demowindow project_options)
# Project1 loads libvantrel.so from its own folder at run time; building the
# program builds the library beside it.
if(TARGET trilib)
  add_dependencies(Project1 trilib)
endif()

install(TARGETS Project1 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/project1.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/project1-32.xpm
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps RENAME project1.xpm)
install(FILES resources/project1-32-mono.xpm
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/HighContrast/32x32/apps RENAME project1.xpm)
install(FILES resources/project1-16.xpm
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps RENAME project1.xpm)
