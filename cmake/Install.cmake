# Installation: the three libraries, the public headers, zemcomp with its bash
# completion, the example documents, a CMake package (find_package(zemComposition CONFIG), target
# zemComposition::zemComposition) and a pkg-config file (zemComposition.pc).
include(CMakePackageConfigHelpers)

set_target_properties(zemComposition_0_81 PROPERTIES EXPORT_NAME zemComposition)
set(ZEM_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zemComposition)

install(TARGETS zemCore_0_81 KRdmtree zemComposition_0_81
    EXPORT zemCompositionTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT zem_runtime
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Public headers keep their paths from the repository root, so that hosts
# include them the same way inside and outside the source tree.
install(FILES composition/Composition.h composition/CompositionApi.h composition/CompositionList.h
    composition/Timecode.h composition/SpareMemory.h
    DESTINATION ${ZEM_INCLUDE_INSTALL_DIR}/composition)
install(FILES interchange/AscCdl.h interchange/CutComparison.h interchange/Dialect.h
    interchange/Documents.h interchange/Edl.h interchange/Fcpxml.h interchange/LossReport.h
    interchange/OtioVersion.h interchange/StandardOtio.h
    interchange/TimelineView.h
    DESTINATION ${ZEM_INCLUDE_INSTALL_DIR}/interchange)
file(GLOB ZEM_CORE_HEADERS outside/core/*.h)
install(FILES ${ZEM_CORE_HEADERS} DESTINATION ${ZEM_INCLUDE_INSTALL_DIR}/outside/core)
file(GLOB ZEM_DMTREE_HEADERS outside/dmtree/*.h)
install(FILES ${ZEM_DMTREE_HEADERS} DESTINATION ${ZEM_INCLUDE_INSTALL_DIR}/outside/dmtree)

if(TARGET zemcomp)
    install(TARGETS zemcomp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_BINARY_DIR}/tools/zemcomp/zemcomp.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zemcomp)
    if(TARGET zemcomp_manual)
        install(FILES ${PROJECT_BINARY_DIR}/tools/zemcomp/zemcomp.1
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
endif()
file(GLOB ZEM_EXAMPLES examples/*.json)
install(FILES ${ZEM_EXAMPLES} DESTINATION ${CMAKE_INSTALL_DATADIR}/zemComposition/examples)

install(EXPORT zemCompositionTargets
    NAMESPACE zemComposition::
    DESTINATION ${ZEM_CMAKE_INSTALL_DIR})
configure_package_config_file(cmake/zemCompositionConfig.cmake.in
    ${PROJECT_BINARY_DIR}/zemCompositionConfig.cmake
    INSTALL_DESTINATION ${ZEM_CMAKE_INSTALL_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zemCompositionConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/zemCompositionConfig.cmake
    ${PROJECT_BINARY_DIR}/zemCompositionConfigVersion.cmake
    DESTINATION ${ZEM_CMAKE_INSTALL_DIR})

# The pkg-config file finds its prefix from its own place, so the installed tree
# can be moved (or installed with --prefix) without rewriting it.
file(RELATIVE_PATH ZEM_PC_RELATIVE_PREFIX
    ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
configure_file(cmake/zemComposition.pc.in ${PROJECT_BINARY_DIR}/zemComposition.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zemComposition.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
