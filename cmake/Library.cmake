# libzelprint: the C++ interface (clsPrint and everything it stands on) as one installed
# library, shared and static, with its headers, a CMake package and a pkg-config file. Both
# libraries are linked from the objects of the folder libraries, so nothing compiles twice.
include(CMakePackageConfigHelpers)

set(zelprint_parts zel_variant zel_general zel_text zel_surface zel_screen zel_geometry zel_files
    zel_windows zel_print)
set(zelprint_objects "")
foreach(part ${zelprint_parts})
    list(APPEND zelprint_objects $<TARGET_OBJECTS:${part}>)
endforeach()

# A class's layout may change with any minor version, so the soname names major and minor.
add_library(zelprint_shared SHARED ${zelprint_objects})
set_target_properties(zelprint_shared PROPERTIES VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR} EXPORT_NAME zelprint)
add_library(zelprint_static STATIC ${zelprint_objects})

# The headers include each other by folder ("print/clsPrint.h"), so include/zelprint is on the
# path as well; clients write <zelprint/print/clsPrint.h>.
foreach(lib zelprint_shared zelprint_static)
    set_target_properties(${lib} PROPERTIES OUTPUT_NAME zelprint)
    target_include_directories(${lib} INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
                               $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/zelprint>)
    target_link_libraries(${lib} PUBLIC Qt6::Widgets Qt6::PrintSupport Qt6::Gui Qt6::Core
                          PRIVATE Cups::Cups isal png16 harfbuzz-subset harfbuzz fontconfig
                          freetype icuuc)
endforeach()
set_target_properties(zelprint_static PROPERTIES EXPORT_NAME zelprint_static)

install(TARGETS zelprint_shared zelprint_static EXPORT ZelPrintTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# --strip strips executables and shared libraries only; the archive's debug information would
# make it 10 times its size.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:zelprint_static>\")
    endif()
")
# Only the public headers are installed: what a program that prints with clsPrint includes
# (the print object and the print context a program may give it, the dynamic value and its
# errors, and the question layer whose answers without a display examples/ExampleApplication
# installs), with every header they include, so that the installed tree is complete.
set(zelprint_public_headers print/clsPrint.h print/PrintContext.h variant/Variant.h
    variant/VbError.h windows/Questions.h)
set(pending ${zelprint_public_headers})
set(zelprint_installed_headers "")
while(pending)
    list(POP_FRONT pending header)
    if(header IN_LIST zelprint_installed_headers)
        continue()
    endif()
    list(APPEND zelprint_installed_headers ${header})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${header})
    file(STRINGS ${CMAKE_SOURCE_DIR}/src/${header} includes REGEX "^#include \"")
    foreach(line ${includes})
        string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
        list(APPEND pending ${included})
    endforeach()
endwhile()
foreach(header ${zelprint_installed_headers})
    get_filename_component(folder ${header} DIRECTORY)
    install(FILES ${CMAKE_SOURCE_DIR}/src/${header}
            DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zelprint/${folder})
endforeach()

# find_package(ZelPrint) gives ZelPrint::zelprint (shared) and ZelPrint::zelprint_static.
set(zelprint_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/ZelPrint)
install(EXPORT ZelPrintTargets NAMESPACE ZelPrint:: DESTINATION ${zelprint_cmake_dir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ZelPrintConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/ZelPrintConfig.cmake
                              INSTALL_DESTINATION ${zelprint_cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ZelPrintConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/ZelPrintConfig.cmake ${CMAKE_BINARY_DIR}/ZelPrintConfigVersion.cmake
        DESTINATION ${zelprint_cmake_dir})

# The pkg-config file finds the prefix from its own place, so any --prefix at install works.
set(zelprint_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH ZELPRINT_PC_TO_PREFIX ${CMAKE_INSTALL_PREFIX}/${zelprint_pc_dir}
     ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" ZELPRINT_PC_TO_PREFIX "${ZELPRINT_PC_TO_PREFIX}")
# pkg-config puts a package's private libraries after its own and before those it requires, so
# that --static can put the archive first only when the shared library is not among zelprint's
# own: zelprint-shared names it, linked only as needed, which after the archive it is not.
foreach(pc zelprint zelprint-shared)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/${pc}.pc.in ${CMAKE_BINARY_DIR}/${pc}.pc @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/${pc}.pc DESTINATION ${zelprint_pc_dir})
endforeach()
