# The Windows package, one per architecture: a folder
# dist/vantrel-<version>-windows-<x64|x86>/ and a zip of it, which
# scripts/build-windows.sh makes with
#   cmake --install <build> --component package --prefix dist/<name>
#
#   vantrel.dll            the library, and beside it the program
#   include/vantrel.h
#   lib/libvantrel.dll.a   import library for MinGW-w64
#   lib/vantrel.lib        import library for Microsoft's linker
#   lib/vantrel.def
#   README.txt
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VANTREL_PACKAGE_ARCH x64)
else()
  set(VANTREL_PACKAGE_ARCH x86)
endif()
set(VANTREL_PACKAGE_NAME vantrel-${PROJECT_VERSION}-windows-${VANTREL_PACKAGE_ARCH})
# Where scripts/build-windows.sh puts the zip.
set(VANTREL_PACKAGE_ZIP ${PROJECT_SOURCE_DIR}/dist/${VANTREL_PACKAGE_NAME}.zip)
# For the build script, which names the folder and the zip.
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/package-name.txt CONTENT "${VANTREL_PACKAGE_NAME}\n")

install(TARGETS trilib
  RUNTIME DESTINATION . COMPONENT package
  ARCHIVE DESTINATION lib COMPONENT package)
install(FILES ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/vantrel.lib ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/vantrel.def
  DESTINATION lib COMPONENT package)
install(FILES ${PROJECT_SOURCE_DIR}/pointset/vantrel.h DESTINATION include COMPONENT package)

# The demonstration program goes beside the DLL, which it loads from its
# own folder, once the Win32 front end (DEMO/) builds it.
set(VANTREL_PACKAGE_PROGRAM "")
if(TARGET Project1)
  install(TARGETS Project1 RUNTIME DESTINATION . COMPONENT package)
  set(VANTREL_PACKAGE_PROGRAM
    "  Project1.exe          the demonstration program: click to place points,\n                        then press TRIANGULATE\n")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/WindowsPackage-README.txt.in ${PROJECT_BINARY_DIR}/package/README.txt
  @ONLY NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_BINARY_DIR}/package/README.txt DESTINATION . COMPONENT package)
