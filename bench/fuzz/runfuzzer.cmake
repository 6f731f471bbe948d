# One fuzz target for a while, over its seeds and its regression inputs, for
# the `fuzz` CTest label. What it finds grows a corpus in the build tree, not
# the committed seeds. Fails when the target finds a fault; the input that
# shows it is left in ARTIFACTS.
#   cmake -DFUZZER=exe -DSEEDS=dir -DREGRESSIONS=dir -DWORK=dir
#         -DARTIFACTS=dir -DSECONDS=n -P runfuzzer.cmake
file(MAKE_DIRECTORY ${WORK} ${ARTIFACTS})
set(dirs ${WORK} ${SEEDS})
# A target gets a regression folder with its first fault.
if(IS_DIRECTORY ${REGRESSIONS})
    list(APPEND dirs ${REGRESSIONS})
endif()
# AddressSanitizer holds up to 256 MB of freed memory back, so the process
# grows past 512 MB on small inputs; one allocation that large still fails.
execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=25 -rss_limit_mb=2048
            -malloc_limit_mb=512 -max_len=1048576 -print_final_stats=1
            -artifact_prefix=${ARTIFACTS}/ ${dirs}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}); its input is in ${ARTIFACTS}")
endif()
