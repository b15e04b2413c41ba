# Runs one fuzzer for SECONDS seconds over a scratch copy of its seed corpus.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
if(EXISTS ${SEEDS})
  file(GLOB seeds ${SEEDS}/*)
  if(seeds)
    file(COPY ${seeds} DESTINATION ${WORK}/corpus)
  endif()
endif()
# libFuzzer stops once the whole seconds since its start exceed
# -max_total_time, that is a second later than asked: SECONDS - 1 runs it
# SECONDS (0 would mean no limit; at least 2 s then).
math(EXPR limit "${SECONDS} - 1")
if(limit LESS 1)
  set(limit 1)
endif()
execute_process(
  COMMAND ${FUZZER} -max_total_time=${limit} -rss_limit_mb=2048 -timeout=10
          -print_final_stats=1 -artifact_prefix=${WORK}/ ${WORK}/corpus
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fuzzer ${FUZZER} failed with ${rc}; artifacts in ${WORK}")
endif()
