# `make package`: a Debian package of everything `cmake --install` puts in
# place, named xmoplay_VERSION_ARCH.deb, its Depends computed from the
# programs' libraries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME xmoplay)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "xmoplay maintainers <maintainers@xmoplay.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player for scripted 3D brick films")
set(CPACK_PACKAGE_DESCRIPTION [[
xmoplay plays a film described in one XML movie file: 3D scene files and toy
bricks placed in a world of terrain, sky and one shadow-casting light, cut
into timed sequences with camera paths, key-frame animations, rigid-body
physics, particles, captions, images, fades and music.

xmotool checks, dumps and re-saves films, renders their frames without a
display and exports them as video. A demo film is included.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Video export runs ffmpeg; everything else works without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
include(CPack)
