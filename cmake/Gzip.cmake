# SPDX-License-Identifier: MIT
# vexalo_gzip(<target> <source> <output>): the default-built <target> compresses <source>
# (relative to the current source directory) into <output> (relative to the current binary
# directory), as distributions ship manual pages and changelogs. -n keeps the name and time
# out of the header, so the same text always gives the same bytes.
function(vexalo_gzip target source output)
    get_filename_component(source ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(output ${output} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_BINARY_DIR})
    add_custom_command(OUTPUT ${output}
        COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${source} ${output}
        DEPENDS ${source}
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
