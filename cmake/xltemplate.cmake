# The workbook template (CBoox.xls and its pristine copy vantboox.ixi) is made
# by our own generator at build time, into the build tree.
add_executable(vantrell-xltemplate ${CMAKE_SOURCE_DIR}/tools/xltemplate/main.cpp)
target_link_libraries(vantrell-xltemplate PRIVATE vantcore)
target_compile_options(vantrell-xltemplate PRIVATE ${VT_WARNINGS})
add_custom_command(
  OUTPUT ${VT_GENERATED_DIR}/vantboox.ixi ${VT_GENERATED_DIR}/CBoox.xls
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:vantrell-xltemplate> ${VT_GENERATED_DIR}
  DEPENDS vantrell-xltemplate
  COMMENT "Generating the workbook template")
add_custom_target(xltemplate ALL DEPENDS ${VT_GENERATED_DIR}/vantboox.ixi ${VT_GENERATED_DIR}/CBoox.xls)
