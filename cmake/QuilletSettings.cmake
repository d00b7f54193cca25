# One INTERFACE target carries the compiler settings every target of the project links.
add_library(quillet_settings INTERFACE)
target_compile_features(quillet_settings INTERFACE cxx_std_20)
target_compile_definitions(quillet_settings INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII
                                                      QT_NO_URL_CAST_FROM_STRING)

if(MSVC)
  target_compile_options(quillet_settings INTERFACE /utf-8 /W4 /permissive-)
  if(QUILLET_WERROR)
    target_compile_options(quillet_settings INTERFACE /WX)
  endif()
else()
  target_compile_options(quillet_settings INTERFACE -Wall -Wextra -Wpedantic)
  if(QUILLET_WERROR)
    target_compile_options(quillet_settings INTERFACE -Werror)
  endif()
endif()

if(QUILLET_SANITIZE)
  set(_quillet_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(quillet_settings INTERFACE ${_quillet_san})
  target_link_options(quillet_settings INTERFACE ${_quillet_san})
endif()

if(QUILLET_FUZZ)
  # The libraries get coverage instrumentation; each fuzz target links the fuzzer's main.
  set(_quillet_fuzz -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer)
  target_compile_options(quillet_settings INTERFACE ${_quillet_fuzz})
  target_link_options(quillet_settings INTERFACE ${_quillet_fuzz})
endif()

# A static library of the core: links QtCore only, so no window code can reach the logic.
function(quillet_add_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC quillet_settings Qt6::Core ${ARG_DEPENDS})
endfunction()
