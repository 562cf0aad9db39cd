# Run by CPack on the staged tree before it makes the Debian package: Debian
# keeps manual pages and the package's changelog compressed (gzip -9n, so
# that the same sources give the same package).
set(stage "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT EXISTS "${stage}/bin/lumicue")
    message(FATAL_ERROR "no staged program under ${stage}")
endif()
file(GLOB manpages "${stage}/share/man/man1/*.1")
foreach(page IN LISTS manpages)
    execute_process(COMMAND gzip -9nf "${page}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
set(doc "${stage}/share/doc/lumicue")
file(MAKE_DIRECTORY "${doc}")
file(COPY_FILE "${CPACK_LUMICUE_CHANGELOG}" "${doc}/changelog")
execute_process(COMMAND gzip -9nf "${doc}/changelog" COMMAND_ERROR_IS_FATAL ANY)
