# The Debian package, made by CPack from the install rules of the build tree that was just
# tested (see scripts/package.sh). Dependencies are read from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME slicewell)
set(CPACK_PACKAGE_VENDOR "The Harrowlight")
set(CPACK_PACKAGE_CONTACT "The Harrowlight <support@slicewell.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://slicewell.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "MPEG audio cutter that never re-encodes")
# The lines as the package shows them: CPack does not wrap them.
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Slicewell cuts MP3 files, and MPEG audio of every other version and layer,"
    "without decoding or re-encoding them. A file is scanned once into a frame"
    "index; every position, mark and cue is a frame number, and every export copies"
    "whole frames byte for byte: as MP3, as MP3 inside WAV, or as a cue file."
    "."
    "The package holds the desktop program with its project bin, cutter and cue"
    "list, and slicewell-cli, which scans, cuts, splits and plays files from a"
    "terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its display plugins at run time, so no linked library names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Playback needs a sound server; the desktop's databases learn the new files through the file
# triggers of these packages.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "pulseaudio | pipewire-pulse, shared-mime-info, desktop-file-utils, hicolor-icon-theme")
# Files owned by root and not writable by others, whatever the umask of the build.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
