# Resource scripts are compiled once into .res bytes with windres, for every
# target. The Windows programs link the script as real resources; the other
# builds and the tests embed the .res bytes and read them with the portable
# reader, so templates, ids and texts exist exactly once.
if(WIN32)
  set(QV_WINDRES ${CMAKE_RC_COMPILER})
else()
  find_program(QV_WINDRES NAMES i686-w64-mingw32-windres x86_64-w64-mingw32-windres windres REQUIRED)
endif()

# qv_add_resources(<name> <script.rc> SYMBOL <function> DEPENDS <files...> INCLUDE_DIRS <dirs...>)
# Makes <name>_embedded, a library whose function <symbol>() returns the
# compiled bytes, and on win32 <name>_linked, an object library that links
# the resources into an executable.
function(qv_add_resources name script)
  cmake_parse_arguments(ARG "" "SYMBOL" "DEPENDS;INCLUDE_DIRS" ${ARGN})
  get_filename_component(script_dir ${script} DIRECTORY)
  set(include_flags -I ${script_dir})
  foreach(dir IN LISTS ARG_INCLUDE_DIRS)
    list(APPEND include_flags -I ${dir})
  endforeach()
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${name}.res)
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${name}_bytes.cpp)
  add_custom_command(
    OUTPUT ${res}
    COMMAND ${QV_WINDRES} -O res ${include_flags} -i ${script} -o ${res}
    DEPENDS ${script} ${ARG_DEPENDS}
    COMMENT "Compiling resources ${name}.res")
  add_custom_command(
    OUTPUT ${cpp}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${res} -DOUTPUT=${cpp} -DSYMBOL=${ARG_SYMBOL}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    DEPENDS ${res} ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake)
  add_library(${name}_embedded STATIC ${cpp})
  target_compile_features(${name}_embedded PUBLIC cxx_std_20)
  if(WIN32)
    add_library(${name}_linked OBJECT ${script})
    target_include_directories(${name}_linked PRIVATE ${script_dir} ${ARG_INCLUDE_DIRS})
    set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS "${ARG_DEPENDS}")
  endif()
endfunction()
