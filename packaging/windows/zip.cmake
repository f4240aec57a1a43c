# Zips a staged folder so that the same files always give the same bytes: members in sorted
# order, each with the same time.
#   cmake -DQRV_STAGE=<folder> -DQRV_ZIP=<zip> -DQRV_MTIME=<"YYYY-MM-DD hh:mm:ss UTC"> -P zip.cmake
get_filename_component(parent "${QRV_STAGE}" DIRECTORY)
file(GLOB_RECURSE members LIST_DIRECTORIES false RELATIVE "${parent}" "${QRV_STAGE}/*")
list(SORT members)
file(REMOVE "${QRV_ZIP}")
# A zip holds local times: the same zone for everyone.
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env TZ=UTC
            "${CMAKE_COMMAND}" -E tar cf "${QRV_ZIP}" --format=zip "--mtime=${QRV_MTIME}"
            ${members}
    WORKING_DIRECTORY "${parent}"
    COMMAND_ERROR_IS_FATAL ANY)
