# SPDX-License-Identifier: MIT
# vexalo_floor(<target> <folder>): <target> exports the headers of <folder>, and only those, as
# "<folder>/name.h", through a folder in the build tree that holds nothing but a link to it.
# A floor then sees only itself and the floors it links: a core file that includes a launch/
# header fails to build, where the whole source tree as an include folder would let it.
function(vexalo_floor target folder)
    set(root ${PROJECT_BINARY_DIR}/floors/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${root})
endfunction()
