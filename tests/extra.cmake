# The command-line tests drive the real quorvane-cli program.
if(TARGET test_cli)
  target_link_libraries(test_cli PRIVATE quorvane_cli_lib)
  target_compile_definitions(test_cli PRIVATE
    QUORVANE_CLI_PATH="$<TARGET_FILE:quorvane-cli>"
    QUORVANE_CLI_MANPAGE="${PROJECT_SOURCE_DIR}/src/cli/quorvane-cli.1")
  add_dependencies(test_cli quorvane-cli)
endif()
