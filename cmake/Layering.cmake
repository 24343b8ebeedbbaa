# The direction of dependencies: logic libraries (everything below the user
# interface) must build and run without Qt Widgets. A library declares itself
# logic with skyloom_logic_library(); skyloom_check_layering(), called once
# every target exists, stops the configure step when one of them reaches
# Qt6::Widgets through any of its link dependencies.

function(skyloom_logic_library target)
    set_property(GLOBAL APPEND PROPERTY SKYLOOM_LOGIC_TARGETS ${target})
endfunction()

# Collects the link dependencies of `target`, transitively, into `out`.
function(_skyloom_link_closure target out)
    set(seen "")
    set(queue ${target})
    while(queue)
        list(POP_FRONT queue item)
        if(item IN_LIST seen OR NOT TARGET ${item})
            continue()
        endif()
        list(APPEND seen ${item})
        get_target_property(aliased ${item} ALIASED_TARGET)
        if(aliased)
            list(APPEND queue ${aliased})
        endif()
        get_target_property(type ${item} TYPE)
        set(props INTERFACE_LINK_LIBRARIES)
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            list(APPEND props LINK_LIBRARIES)
        endif()
        foreach(prop ${props})
            get_target_property(deps ${item} ${prop})
            if(deps)
                foreach(dep ${deps})
                    # $<LINK_ONLY:x> and similar wrappers name a target too.
                    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" dep "${dep}")
                    if(NOT dep MATCHES "^\\$<")
                        list(APPEND queue ${dep})
                    endif()
                endforeach()
            endif()
        endforeach()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(skyloom_check_layering)
    get_property(logic GLOBAL PROPERTY SKYLOOM_LOGIC_TARGETS)
    foreach(target ${logic})
        _skyloom_link_closure(${target} closure)
        foreach(forbidden Qt6::Widgets Qt::Widgets)
            if(forbidden IN_LIST closure)
                message(FATAL_ERROR "${target} is a logic library but links ${forbidden} "
                                    "(through: ${closure})")
            endif()
        endforeach()
    endforeach()
endfunction()
