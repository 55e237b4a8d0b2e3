# SPDX-License-Identifier: MIT
# vexalo_wayland_protocols(<target> <xml>...): links <target> to the client side of each
# Wayland protocol, named by its description's path under wayland-protocols' data directory.
# Each protocol's code is generated and compiled once, however many targets speak it.
function(vexalo_wayland_protocols target)
    foreach(xml IN LISTS ARGN)
        get_filename_component(name ${xml} NAME_WE)
        set(protocol wayland_protocol_${name})
        if(NOT TARGET ${protocol})
            set(dir ${PROJECT_BINARY_DIR}/protocols/${name})
            set(source ${WAYLAND_PROTOCOLS_DIR}/${xml})
            add_custom_command(
                OUTPUT ${dir}/${name}-client-protocol.h ${dir}/${name}-protocol.c
                COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                COMMAND ${WAYLAND_SCANNER} client-header ${source} ${dir}/${name}-client-protocol.h
                COMMAND ${WAYLAND_SCANNER} private-code ${source} ${dir}/${name}-protocol.c
                DEPENDS ${source}
            )
            add_library(${protocol} STATIC
                ${dir}/${name}-client-protocol.h ${dir}/${name}-protocol.c)
            target_include_directories(${protocol} PUBLIC ${dir})
            target_link_libraries(${protocol} PUBLIC PkgConfig::WAYLAND)
        endif()
        target_link_libraries(${target} PRIVATE ${protocol})
    endforeach()
endfunction()
