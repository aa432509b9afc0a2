# Windows build: Quillmere.exe, the Windows-side tests and the end-to-end tests, all run
# under Wine by the test command (scripts/test.sh).

set(QM_WIN_DEFINES UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00 _WIN32_IE=0x0A00)
set(QM_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
# Only DLLs that Windows always takes from the system folder are imported; the others are
# loaded by their full path when needed (win32/common/system_library.h). comctl32 comes from
# the side-by-side store that the manifest names.
# COM and OLE automation are among the latter (win32/common/com_runtime.h): idle in the tray,
# the program needs neither.
set(QM_WIN_LIBS comctl32 shell32 shlwapi gdi32 advapi32 user32)
# Each function and datum in a section of its own, so that the linker can leave out of the
# programs whatever they never call (--gc-sections below).
add_compile_options(-ffunction-sections -fdata-sections)
target_compile_options(qm_core PRIVATE -ffunction-sections -fdata-sections)  # made before this
set(QM_DROP_UNUSED -Wl,--gc-sections)
# Optimised for size: a tray program spends its life waiting, and what it loads stays in memory.
string(REPLACE "-O2" "-Os" CMAKE_CXX_FLAGS_RELWITHDEBINFO "${CMAKE_CXX_FLAGS_RELWITHDEBINFO}")
string(REPLACE "-O3" "-Os" CMAKE_CXX_FLAGS_RELEASE "${CMAKE_CXX_FLAGS_RELEASE}")

target_compile_definitions(qm_core PUBLIC ${QM_WIN_DEFINES})

# Thin Windows layer: everything but the entry point, so tests link the same code.
file(GLOB_RECURSE QM_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/win32/*.cpp)
list(FILTER QM_WIN32_SOURCES EXCLUDE REGEX ".*/src/win32/app/main\\.cpp$")
# The service's own code goes into qm_service below.
list(FILTER QM_WIN32_SOURCES EXCLUDE REGEX ".*/src/win32/defrag/service/.*")
add_library(qm_win32 STATIC ${QM_WIN32_SOURCES})
target_link_libraries(qm_win32 PUBLIC qm_core ${QM_WIN_LIBS})

# The version resource and the manifest take the project's version from here.
set(QM_GENERATED_RES ${CMAKE_BINARY_DIR}/generated/res)
configure_file(src/win32/res/quillmere_version.h.in ${QM_GENERATED_RES}/quillmere_version.h @ONLY)
configure_file(src/win32/res/quillmere.manifest.in ${QM_GENERATED_RES}/quillmere.manifest @ONLY)

# The maker's addresses that the About dialog shows and opens: placeholders in the reserved
# example.org domain until the maker has its own.
set(QM_MAKER_WEB_URL "https://www.example.org/quillmere/" CACHE STRING
    "The maker's web address, shown and opened by the About dialog")
set(QM_MAKER_EMAIL "quillmere@example.org" CACHE STRING
    "The maker's e-mail address, shown by the About dialog and used for comments")
set_source_files_properties(src/win32/ui/about_dialog.cpp PROPERTIES COMPILE_DEFINITIONS
    "QM_MAKER_WEB_URL=\"${QM_MAKER_WEB_URL}\";QM_MAKER_EMAIL=\"${QM_MAKER_EMAIL}\"")

add_executable(Quillmere WIN32 src/win32/app/main.cpp src/win32/res/quillmere.rc)
target_include_directories(Quillmere PRIVATE ${QM_GENERATED_RES})
target_link_libraries(Quillmere PRIVATE qm_win32)
# The shipped program carries no debug information (7 MB with it, about 0.4 MB without).
target_link_options(Quillmere PRIVATE -municode ${QM_STATIC_RUNTIME} ${QM_DROP_UNUSED}
                    $<$<NOT:$<CONFIG:Debug>>:-s>)
set_source_files_properties(src/win32/res/quillmere.rc PROPERTIES
    OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/src/win32/res/quillmere.ico;${QM_GENERATED_RES}/quillmere.manifest;${QM_GENERATED_RES}/quillmere_version.h")

# QuillmereService.exe, the defragmentation service: the pipe host, its registration and its
# event log entries in a library the Windows-side tests link too, and the entry point.
set(QM_SERVICE_DIR ${PROJECT_SOURCE_DIR}/src/win32/defrag/service)
set(QM_SERVICE_MESSAGES ${QM_GENERATED_RES}/messages)
find_program(QM_WINDMC NAMES x86_64-w64-mingw32-windmc windmc REQUIRED)
add_custom_command(
    OUTPUT ${QM_SERVICE_MESSAGES}/quillmere_service.h ${QM_SERVICE_MESSAGES}/quillmere_service.rc
           ${QM_SERVICE_MESSAGES}/MSG00409.bin
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QM_SERVICE_MESSAGES}
    COMMAND ${QM_WINDMC} -h ${QM_SERVICE_MESSAGES} -r ${QM_SERVICE_MESSAGES}
            ${QM_SERVICE_DIR}/quillmere_service.mc
    DEPENDS ${QM_SERVICE_DIR}/quillmere_service.mc
    COMMENT "Compiling the service's event log messages")
file(GLOB QM_SERVICE_SOURCES CONFIGURE_DEPENDS ${QM_SERVICE_DIR}/*.cpp)
list(FILTER QM_SERVICE_SOURCES EXCLUDE REGEX ".*/service_main\\.cpp$")
add_library(qm_service STATIC ${QM_SERVICE_SOURCES} ${QM_SERVICE_MESSAGES}/quillmere_service.h)
target_include_directories(qm_service PRIVATE ${QM_SERVICE_MESSAGES})
target_link_libraries(qm_service PUBLIC qm_win32 qm_core advapi32 ole32 oleaut32 uuid taskschd)

add_executable(QuillmereService ${QM_SERVICE_DIR}/service_main.cpp
                                ${QM_SERVICE_DIR}/quillmere_service.rc)
target_include_directories(QuillmereService PRIVATE ${QM_GENERATED_RES} ${QM_SERVICE_MESSAGES})
target_link_libraries(QuillmereService PRIVATE qm_service)
target_link_options(QuillmereService PRIVATE -municode ${QM_STATIC_RUNTIME} ${QM_DROP_UNUSED}
                    $<$<NOT:$<CONFIG:Debug>>:-s>)
set_source_files_properties(${QM_SERVICE_DIR}/quillmere_service.rc PROPERTIES OBJECT_DEPENDS
    "${QM_SERVICE_MESSAGES}/quillmere_service.rc;${QM_SERVICE_MESSAGES}/MSG00409.bin;${QM_GENERATED_RES}/quillmere_version.h")

# GoogleTest for Windows, compiled from Debian's source package.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

file(GLOB_RECURSE QM_WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win32/*.cpp)
add_executable(win32_tests ${QM_WIN32_TEST_SOURCES})
target_include_directories(win32_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(win32_tests PRIVATE qm_service qm_win32 gtest gtest_main gmock)
target_link_options(win32_tests PRIVATE ${QM_STATIC_RUNTIME})
# One process for the whole suite: Wine's start-up is paid once.
add_test(NAME win32_tests COMMAND win32_tests --gtest_color=no)
set_tests_properties(win32_tests PROPERTIES LABELS wine TIMEOUT 600)

# Small console programs that stand in for the system's defragmenter in tests and demos.
file(GLOB QM_DOUBLE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/doubles/*.cpp)
foreach(src ${QM_DOUBLE_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_definitions(${name} PRIVATE ${QM_WIN_DEFINES})
    target_link_options(${name} PRIVATE -municode ${QM_STATIC_RUNTIME})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/doubles)
    list(APPEND QM_DOUBLES ${name})
endforeach()
if(QM_DOUBLES)
    add_dependencies(win32_tests ${QM_DOUBLES})
endif()

# End-to-end tests: one Windows test program that drives Quillmere.exe; every test suite in
# it is a scenario that runs in a fresh copy of the booted Wine prefix.
file(GLOB_RECURSE QM_E2E_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/e2e/*.cpp)
add_executable(e2e_tests ${QM_E2E_SOURCES})
target_include_directories(e2e_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(e2e_tests PRIVATE qm_win32 gtest gtest_main)
target_link_options(e2e_tests PRIVATE ${QM_STATIC_RUNTIME})
add_dependencies(e2e_tests Quillmere QuillmereService ${QM_DOUBLES})

set(QM_E2E_SCENARIOS)
foreach(src ${QM_E2E_SOURCES})
    file(STRINGS ${src} lines REGEX "^TEST(_F)?\\((E2e[A-Za-z0-9]+),")
    foreach(line ${lines})
        string(REGEX REPLACE "^TEST(_F)?\\((E2e[A-Za-z0-9]+),.*" "\\2" suite "${line}")
        list(APPEND QM_E2E_SCENARIOS ${suite})
    endforeach()
endforeach()
list(REMOVE_DUPLICATES QM_E2E_SCENARIOS)
foreach(suite ${QM_E2E_SCENARIOS})
    add_test(NAME e2e.${suite}
        COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/e2e-scenario.sh ${suite}
                $<TARGET_FILE:e2e_tests> $<TARGET_FILE:Quillmere> ${CMAKE_BINARY_DIR}/doubles)
    set_tests_properties(e2e.${suite} PROPERTIES LABELS "wine;e2e" TIMEOUT 300)
endforeach()

# What the install test (tests/install/install_test.sh) asks inside the Wine prefix.
add_executable(install_probe tests/install/install_probe.cpp)
target_link_libraries(install_probe PRIVATE qm_win32 taskschd)
target_link_options(install_probe PRIVATE -municode ${QM_STATIC_RUNTIME})

# A bare tray program (hidden window, one icon, a message loop): the yardstick that
# scripts/measure-idle.sh compares Quillmere's idle cost with. Not part of the tests.
add_executable(minimal_tray WIN32 tools/minimal-tray/minimal_tray.cpp)
target_compile_definitions(minimal_tray PRIVATE ${QM_WIN_DEFINES})
target_link_libraries(minimal_tray PRIVATE shell32 user32)
target_link_options(minimal_tray PRIVATE -municode ${QM_STATIC_RUNTIME})
set_target_properties(minimal_tray PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# A small program that shows one message box, for screenshots (scripts/screenshots-msgbox.sh).
add_executable(msgbox_demo WIN32 tools/msgbox-demo/msgbox_demo.cpp)
target_link_libraries(msgbox_demo PRIVATE qm_win32)
target_link_options(msgbox_demo PRIVATE -municode ${QM_STATIC_RUNTIME})

# A small program that shows the schedule editor, for screenshots (scripts/screenshots-editor.sh).
# It carries the program's resources, manifest included, so its controls look as in the program.
add_executable(editor_demo WIN32 tools/editor-demo/editor_demo.cpp src/win32/res/quillmere.rc)
target_include_directories(editor_demo PRIVATE ${QM_GENERATED_RES})
target_link_libraries(editor_demo PRIVATE qm_win32)
target_link_options(editor_demo PRIVATE -municode ${QM_STATIC_RUNTIME})
