# Compressed files as the distribution medium carries them: Debian's
# mscompress writes the standard SZDD form that the installer expands.
# mscompress appends "_" to the name it is given, while the medium's names
# replace the last character ("README.TXT" becomes "README.TX_"); it also
# writes wrong data for inputs shorter than 16 bytes, so nothing compressed
# here is that short.
find_program(QV_MSCOMPRESS mscompress REQUIRED)

# qv_compress_szdd(INPUT <file or $<TARGET_FILE:...>> NAME <name the file has
#                  when expanded> OUTPUT <compressed file> [DEPENDS ...])
function(qv_compress_szdd)
  cmake_parse_arguments(ARG "" "INPUT;NAME;OUTPUT" "DEPENDS" ${ARGN})
  set(work ${ARG_OUTPUT}.work)
  add_custom_command(OUTPUT ${ARG_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${work}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${work}
    COMMAND ${CMAKE_COMMAND} -E copy ${ARG_INPUT} ${work}/${ARG_NAME}
    COMMAND ${QV_MSCOMPRESS} ${work}/${ARG_NAME}
    COMMAND ${CMAKE_COMMAND} -E rename ${work}/${ARG_NAME}_ ${ARG_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${work}
    DEPENDS ${ARG_DEPENDS}
    COMMENT "Compressing ${ARG_NAME}")
endfunction()
