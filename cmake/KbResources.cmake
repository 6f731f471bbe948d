# kb_add_language_pack(<target> <ts-file> <output-qm>)
# Compiles a translation source, whose message ids are the resource ids, into
# the .qm file the program loads as a language library.
function(kb_add_language_pack target ts qm)
    get_filename_component(qm_dir ${qm} DIRECTORY)
    add_custom_command(OUTPUT ${qm}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${qm_dir}
        COMMAND Qt6::lrelease -silent -idbased ${ts} -qm ${qm}
        DEPENDS ${ts}
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${qm})
endfunction()
