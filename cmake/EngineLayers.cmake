# The engine's layers. Each engine folder is a library that may use the folders it declares and,
# through them, the ones below; a folder can only depend on layers declared before it, so the
# declared order has no cycle. paginor_check_layers reads every `#include "folder/..."` of the
# engine's sources and fails the configuration when a folder reaches into one it may not use:
# an include cycle between folders always does, since one side of it points upwards.
#
# Usable from a project (paginor_add_layers creates the libraries) and in script mode (the test
# of this check declares layers over a tree of its own).

set_property(GLOBAL PROPERTY PAGINOR_LAYERS "")

# paginor_layer(<name> [DIRS <folder>...] [DEPENDS <layer>...])
# DIRS defaults to the folder of the same name; only the files directly in each folder count.
function(paginor_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "DIRS;DEPENDS")
  if(NOT arg_DIRS)
    set(arg_DIRS ${name})
  endif()
  get_property(layers GLOBAL PROPERTY PAGINOR_LAYERS)
  if(name IN_LIST layers)
    message(FATAL_ERROR "Engine layer '${name}' is declared twice.")
  endif()
  set(closure "")
  foreach(dep ${arg_DEPENDS})
    if(NOT dep IN_LIST layers)
      message(FATAL_ERROR "Engine layer '${name}' depends on '${dep}', which is not declared "
                          "before it: a layer can only use the layers below it.")
    endif()
    get_property(dep_closure GLOBAL PROPERTY PAGINOR_LAYER_CLOSURE_${dep})
    list(APPEND closure ${dep} ${dep_closure})
  endforeach()
  list(REMOVE_DUPLICATES closure)
  set_property(GLOBAL APPEND PROPERTY PAGINOR_LAYERS ${name})
  set_property(GLOBAL PROPERTY PAGINOR_LAYER_DIRS_${name} ${arg_DIRS})
  set_property(GLOBAL PROPERTY PAGINOR_LAYER_DEPENDS_${name} ${arg_DEPENDS})
  set_property(GLOBAL PROPERTY PAGINOR_LAYER_CLOSURE_${name} ${closure})
endfunction()

# The layer that owns a folder, or "" for a folder outside the engine.
function(_paginor_layer_of_dir dir out_var)
  get_property(layers GLOBAL PROPERTY PAGINOR_LAYERS)
  foreach(layer ${layers})
    get_property(dirs GLOBAL PROPERTY PAGINOR_LAYER_DIRS_${layer})
    if(dir IN_LIST dirs)
      set(${out_var} ${layer} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out_var} "" PARENT_SCOPE)
endfunction()

# Checks every source of every layer under `root`. All violations are listed before failing.
function(paginor_check_layers root)
  get_property(layers GLOBAL PROPERTY PAGINOR_LAYERS)
  set(problems "")
  foreach(layer ${layers})
    get_property(dirs GLOBAL PROPERTY PAGINOR_LAYER_DIRS_${layer})
    get_property(allowed GLOBAL PROPERTY PAGINOR_LAYER_CLOSURE_${layer})
    foreach(dir ${dirs})
      file(GLOB sources ${root}/${dir}/*.h ${root}/${dir}/*.cpp)
      foreach(source ${sources})
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
        foreach(line ${includes})
          string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" header "${line}")
          get_filename_component(header_dir ${header} DIRECTORY)
          if(header_dir STREQUAL "")
            continue()
          endif()
          _paginor_layer_of_dir(${header_dir} target_layer)
          if(target_layer STREQUAL "" OR target_layer STREQUAL layer)
            continue()
          endif()
          if(NOT target_layer IN_LIST allowed)
            file(RELATIVE_PATH rel ${root} ${source})
            get_property(back GLOBAL PROPERTY PAGINOR_LAYER_CLOSURE_${target_layer})
            if(layer IN_LIST back)
              set(why "'${target_layer}' uses '${layer}' already: an include cycle")
            else()
              set(why "'${layer}' does not depend on '${target_layer}'")
            endif()
            list(APPEND problems "${rel} includes \"${header}\": ${why}")
          endif()
        endforeach()
      endforeach()
    endforeach()
  endforeach()
  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "The engine's layering is broken:\n  ${text}\n"
                        "Move the code to the layer that owns it, or declare the dependency "
                        "in the top CMakeLists.txt if the order allows it.")
  endif()
endfunction()
