# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: cpack -G DEB in the build folder writes
# korvalin_<version>_<arch>.deb with everything `cmake --install` puts in place.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvalin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Korvalin developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PlayStation and PlayStation 2 CD-ROM image authoring tool")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(KORVALIN_PACKAGE_MAINTAINER "Korvalin developers <korvalin@localhost>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KORVALIN_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies are read from the programs' own libraries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
# The extended description; cpack indents it under the summary line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Korvalin builds a disc tree from files on disk, lets any entry be pinned to
a logical block address, lays the tree out sector by sector and compiles it:
a raw image of 2352-byte Mode 2 sectors with EDC/ECC, an ISO 9660 + CD-XA
file system and a cue sheet, a 2048-byte .iso, or the IML variant.

This package holds the desktop program korvalin-gui (Qt 6) and the command
korvalin, with their manual pages and bash and zsh completion.")

include(CPack)
