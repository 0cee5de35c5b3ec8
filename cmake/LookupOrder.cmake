# The loader looks each symbol a library imports up through every loaded library in load order,
# the executable's own NEEDED entries first, then theirs breadth first; libraries that Debian
# links with BIND_NOW (Qt, libcups's TLS and Kerberos libraries) have all of theirs looked up at
# start. zelprint names first the libraries that answer most of a one-line job's lookups
# (counted with LD_DEBUG=bindings), so most lookups end early: 20.6 M instructions become 16.7 M.
# Naming a library that is loaded anyway adds nothing; no symbol binds elsewhere (checked against
# the same bindings), as no two of them define the same symbol.
#
# zel_lookup_order(TARGET NAME...): TARGET needs lib<NAME>.so.<version> for each NAME in this
# order, as found beside libcups; a NAME not found there is left out.
function(zel_lookup_order target)
    get_filename_component(libdir "${CUPS_LIBRARIES}" DIRECTORY)
    set(libraries "")
    foreach(name IN LISTS ARGN)
        file(GLOB candidates "${libdir}/lib${name}.so.[0-9]*")
        set(soname "")
        foreach(candidate IN LISTS candidates)
            get_filename_component(file "${candidate}" NAME)
            string(LENGTH "${file}" length)
            string(LENGTH "${soname}" shortest)
            if(soname STREQUAL "" OR length LESS shortest)
                set(soname "${file}")
            endif()
        endforeach()
        if(soname)
            list(APPEND libraries "-l:${soname}")
        endif()
    endforeach()
    target_link_options(${target} PRIVATE LINKER:--push-state,--no-as-needed ${libraries}
                        LINKER:--pop-state)
endfunction()
