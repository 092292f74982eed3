# The Debian package, made by scripts/package through CPack. Everything the
# package holds comes from the install rules; this only describes it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "note keeper with categories and keyword search")
set(CPACK_PACKAGE_DESCRIPTION "Tarnwick keeps short notes for one person. Each note has a category, a date,
a title and a body. The main window shows the categories as a tree with the
note titles under them, beside an editor for the chosen note; a small window
adds, renames and deletes categories, and a keyword search finds notes by
their titles and bodies.

Every window is drawn by Tarnwick's own skin engine. The package also holds
tarnwick-db, which creates notebooks, and tarnwick-skin, which packs, unpacks
and inspects skins.")
set(TW_MAINTAINER "The Tarnwick developers <tarnwick@example.org>" CACHE STRING
    "Maintainer named in the Debian package")
set(CPACK_PACKAGE_CONTACT "${TW_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TW_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins are loaded at run time, so the shared-library scan cannot see them.
# The windows show Chinese text of their own (the note count, a Chinese
# notebook's categories), which turns into boxes without a CJK font: the
# small WenQuanYi Micro Hei, or another CJK font the system already has.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, fonts-wqy-microhei | fonts-wqy-zenhei | fonts-noto-cjk | fonts-arphic-uming")
# The built-in skin names Arial and Tahoma; Liberation matches their metrics.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
