# The command-line tests drive the real quorvane-cli program.
if(TARGET test_cli)
  target_compile_definitions(test_cli PRIVATE
    QUORVANE_CLI_PATH="$<TARGET_FILE:quorvane-cli>"
    QUORVANE_CLI_MANPAGE="${PROJECT_SOURCE_DIR}/src/cli/quorvane-cli.1")
  add_dependencies(test_cli quorvane-cli)
endif()

# Fault tests: the import tests drive the real program too, and run a MariaDB
# server of their own (in the build folder) that they kill and restart.
foreach(fault_tests test_import test_filelist test_app)
  if(TARGET ${fault_tests})
    target_compile_definitions(${fault_tests} PRIVATE
      QUORVANE_CLI_PATH="$<TARGET_FILE:quorvane-cli>"
      QUORVANE_MARIADB_SERVER_SCRIPT="${PROJECT_SOURCE_DIR}/scripts/mariadb-server.sh"
      QUORVANE_FAULT_SERVER_DIR="${CMAKE_BINARY_DIR}/fault-mariadb")
    add_dependencies(${fault_tests} quorvane-cli)
  endif()
endforeach()

# The window tests load the sample files that the README offers.
if(TARGET test_import_ui)
  target_compile_definitions(test_import_ui PRIVATE QUORVANE_SAMPLES_DIR="${PROJECT_SOURCE_DIR}/samples")
endif()

# "Test Connection" with no driver registered under the DB2 name: a drivers
# file without it, and a home without a user drivers file.
if(TARGET test_db_ui)
  set(no_driver "${CMAKE_BINARY_DIR}/odbc/none")
  file(WRITE "${no_driver}/odbcinst.ini" "")
  file(WRITE "${no_driver}/odbc.ini" "")
  add_test(NAME db_ui_no_driver COMMAND test_db_ui --gtest_filter=LoginWindowNoDriver.*)
  set_tests_properties(db_ui_no_driver PROPERTIES ENVIRONMENT
      "ODBCSYSINI=${no_driver};HOME=${no_driver};QT_QPA_PLATFORM=offscreen")
endif()

# The dialect check: the statements quorvane-cli prints for the cases in
# tests/derby/ go through Apache Derby's ij.
if(TARGET quorvane-cli)
  add_test(NAME derby_dialect
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/derby-check.sh $<TARGET_FILE:quorvane-cli>)
endif()
