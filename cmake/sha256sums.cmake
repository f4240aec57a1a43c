# Writes SHA256SUMS beside the release files, in the form `sha256sum -c` reads.
#   cmake -DQRV_SUMS_FILES=<file;...> -P sha256sums.cmake
# or as a CPack post-build script, for the packages CPack has just written.
if(DEFINED QRV_SUMS_FILES)
    list(GET QRV_SUMS_FILES 0 first)
    get_filename_component(folder "${first}" DIRECTORY)
else()
    # CPack's packages are still in its staging folder, and are copied unchanged to this one.
    set(QRV_SUMS_FILES ${CPACK_PACKAGE_FILES})
    set(folder "${CPACK_PACKAGE_DIRECTORY}")
endif()
if(NOT QRV_SUMS_FILES OR NOT folder)
    message(FATAL_ERROR "sha256sums.cmake: no files to sum, or no folder for SHA256SUMS")
endif()
set(sums "")
foreach(file IN LISTS QRV_SUMS_FILES)
    file(SHA256 "${file}" hash)
    get_filename_component(name "${file}" NAME)
    string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${folder}/SHA256SUMS" "${sums}")
message(STATUS "Wrote ${folder}/SHA256SUMS")
