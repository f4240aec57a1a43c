# Run by CPack once it has written the .deb. CPack's DEB generator adds a postinst and a postrm
# that call ldconfig for any library in a folder under /usr/lib, even one of the package's own
# such as /usr/lib/quorvane, which the loader never searches: the game opens its library by its
# full path. The package needs no maintainer scripts, so they are taken out again. dpkg-deb
# takes the time of the package's members from SOURCE_DATE_EPOCH: no build's time in the package.
set(ENV{SOURCE_DATE_EPOCH} "${CPACK_QRV_SOURCE_DATE_EPOCH}")
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    set(tree "${CPACK_TOPLEVEL_DIRECTORY}/without_ldconfig")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE "${tree}/DEBIAN/postinst" "${tree}/DEBIAN/postrm")
    execute_process(
        COMMAND dpkg-deb --root-owner-group "-Z${CPACK_DEBIAN_COMPRESSION_TYPE}" --build "${tree}"
                "${deb}"
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE "${tree}")
endforeach()
