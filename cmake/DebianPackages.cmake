# The Debian packages, made by CPack's DEB generator from the install
# components (scripts/build-packages.sh runs it):
#
#   libvantrel1      runtime  the library: libvantrel.so.1 and the file it names
#   libvantrel-dev   development  vantrel.h, the libvantrel.so link, the CMake
#                    package and vantrel.pc
#   vantrel-demo     program  Project1, its desktop entry, icons and manual page
#
# The version is the project's, with a Debian revision. dpkg-shlibdeps
# computes each package's Depends from its binaries. Project1 loads the
# library at run time, which dpkg-shlibdeps cannot see: that dependency is
# declared.
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "The Debian packages install into /usr: configure with -DCMAKE_INSTALL_PREFIX=/usr")
endif()
if(NOT TARGET Project1)
  message(FATAL_ERROR "The Debian packages include the program: configure with -DVANTREL_BUILD_DEMO=ON")
endif()

set(VANTREL_DEB_REVISION 1)
set(VANTREL_DEB_VERSION ${PROJECT_VERSION}-${VANTREL_DEB_REVISION})
set(VANTREL_DEB_MAINTAINER "vantrel maintainers <maintainers@vantrel.example>")
# The runtime package is named after the soname, so that a library of
# another major version can be installed beside it.
get_target_property(vantrel_soversion trilib SOVERSION)
set(vantrel_runtime_package libvantrel${vantrel_soversion})

# Every package carries the copyright file and a compressed changelog in its
# documentation folder. The changelog's date is the source's
# (SOURCE_DATE_EPOCH, which the build script takes from the last commit),
# and gzip -n leaves the time out, so the same tree gives the same files.
string(TIMESTAMP VANTREL_DEB_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(vantrel_deb_dir ${PROJECT_BINARY_DIR}/debian)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${vantrel_deb_dir}/changelog.Debian @ONLY)
find_program(VANTREL_GZIP gzip REQUIRED)
function(vantrel_gzip source target)
  execute_process(COMMAND ${VANTREL_GZIP} -n -9 -c ${source} OUTPUT_FILE ${target} COMMAND_ERROR_IS_FATAL ANY)
endfunction()
vantrel_gzip(${vantrel_deb_dir}/changelog.Debian ${vantrel_deb_dir}/changelog.Debian.gz)
vantrel_gzip(${CMAKE_CURRENT_LIST_DIR}/debian/Project1.1 ${vantrel_deb_dir}/Project1.1.gz)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${CMAKE_CURRENT_LIST_DIR}/debian/Project1.1)

set(vantrel_components runtime development program)
set(vantrel_packages ${vantrel_runtime_package} libvantrel-dev vantrel-demo)
foreach(component package IN ZIP_LISTS vantrel_components vantrel_packages)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${vantrel_deb_dir}/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
  # Lintian's warnings that do not apply here, each with its reason.
  set(overrides "# Not a package of the Debian archive: there is no bug to close.\n"
    "${package}: initial-upload-closes-no-bugs\n")
  if(component STREQUAL runtime)
    list(APPEND overrides
      "# CPack adds postinst and postrm scripts that run ldconfig for any library\n"
      "# in /usr/lib. The package activates the ldconfig trigger besides, as it must.\n"
      "${package}: maintscript-calls-ldconfig [postinst]\n"
      "${package}: maintscript-calls-ldconfig [postrm]\n")
  endif()
  string(CONCAT overrides ${overrides})
  file(CONFIGURE OUTPUT ${vantrel_deb_dir}/${package}/lintian-overrides CONTENT "${overrides}")
  install(FILES ${vantrel_deb_dir}/${package}/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${package} COMPONENT ${component})
  string(TOUPPER ${component} COMPONENT)
  set(CPACK_DEBIAN_${COMPONENT}_PACKAGE_NAME ${package})
endforeach()
install(FILES ${vantrel_deb_dir}/Project1.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VANTREL_DEB_MAINTAINER}")
# Each package's description starts with its own synopsis line; CPack would
# put the project's description above it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${vantrel_components})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VANTREL_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VANTREL_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SOURCE vantrel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "exact Delaunay triangulation of integer points
libvantrel computes the Delaunay triangulation of points with 32-bit
integer coordinates through one C function, Triangulate. Every geometric
decision is exact for the whole int32 range.
.
This package holds the shared library.")
# The shlibs file: programs linked against the library depend on this
# package at this version or later.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The dynamic loader's cache learns of the library when it comes and forgets
# it when it goes.
file(CONFIGURE OUTPUT ${vantrel_deb_dir}/triggers CONTENT "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${vantrel_deb_dir}/triggers)

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "exact Delaunay triangulation of integer points - development files
libvantrel computes the Delaunay triangulation of points with 32-bit
integer coordinates through one C function, Triangulate. Every geometric
decision is exact for the whole int32 range.
.
This package holds what building against the library needs: the header
vantrel.h, the libvantrel.so link, the CMake package (find_package(vantrel))
and the pkg-config file (vantrel.pc).")
# The development files belong to exactly this build of the library.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION math)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "demonstration program of the libvantrel triangulation library
Project1 places points where you click on a canvas, or at random, hands
them to libvantrel and draws the Delaunay triangulation it returns, with
the number of triangles and the time the library took.")
# It loads the library when it first triangulates, by its soname.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "${vantrel_runtime_package} (>= ${PROJECT_VERSION})")

include(CPack)
