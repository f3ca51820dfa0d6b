# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack as it makes each package: a Debian package needs a maintainer who can be written to. Without
# QUILLMERE_MAINTAINER it is whoever builds the package, told as Debian's own tools are told (DEBFULLNAME and
# DEBEMAIL, or DEBEMAIL alone as "Name <address>"); with neither, no package is made rather than one that names
# an address nobody reads.
if(NOT CPACK_GENERATOR STREQUAL "DEB" OR CPACK_DEBIAN_PACKAGE_MAINTAINER)
    return()
endif()
set(address "$ENV{DEBEMAIL}")
set(name "$ENV{DEBFULLNAME}")
if(address MATCHES "<.+>")
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${address}")
elseif(address AND name)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${name} <${address}>")
else()
    message(FATAL_ERROR "Who maintains this package? Set DEBFULLNAME and DEBEMAIL (as for any Debian package you "
                        "build), or configure with -DQUILLMERE_MAINTAINER=\"Name <address>\".")
endif()
