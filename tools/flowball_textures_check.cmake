# Runs flowball-textures the way people do and checks what it leaves behind:
# refused arguments exit with 2 and write nothing; good ones write complete
# PNG files of the asked size under the documented names; a failed write
# leaves no partial file.
#   cmake -DTOOL=path/to/flowball-textures -DOUT=scratch/folder -P flowball_textures_check.cmake

function(run_tool expected_code)
  execute_process(COMMAND ${TOOL} ${ARGN} RESULT_VARIABLE code OUTPUT_QUIET ERROR_VARIABLE errors)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "flowball-textures ${ARGN}: exit ${code}, expected ${expected_code}\n${errors}")
  endif()
endfunction()

# A PNG file: its signature, then the IHDR chunk with width and height.
function(check_png path width height)
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "missing ${path}")
  endif()
  file(READ ${path} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${path} is not a PNG file")
  endif()
  string(SUBSTRING "${header}" 32 8 width_hex)
  string(SUBSTRING "${header}" 40 8 height_hex)
  math(EXPR file_width "0x${width_hex}")
  math(EXPR file_height "0x${height_hex}")
  if(NOT file_width EQUAL width OR NOT file_height EQUAL height)
    message(FATAL_ERROR "${path} is ${file_width}x${file_height}, expected ${width}x${height}")
  endif()
endfunction()

file(REMOVE_RECURSE ${OUT})

run_tool(2 --out ${OUT})
run_tool(2 --kind SMOKE)
run_tool(2 --kind NOSUCH --out ${OUT})
run_tool(2 --kind 15 --out ${OUT})
run_tool(2 --kind SMOKE --size 512x128 --out ${OUT})
run_tool(2 --kind CHECK --size 257x256 --out ${OUT})
run_tool(2 --kind CHECK --size 0x16 --out ${OUT})
run_tool(2 --kind CHECK --size 16 --out ${OUT})
run_tool(2 --kind CHECK --seed twelve --out ${OUT})
run_tool(2 --scene --size 64x64 --out ${OUT})
run_tool(2 --kind CHECK --out ${OUT} --surprise)
if(EXISTS ${OUT})
  message(FATAL_ERROR "refused arguments created ${OUT}")
endif()

# A refused value is shown with its control bytes written out, so that the
# message stays one line and sends no terminal codes.
string(ASCII 27 escape)
execute_process(COMMAND ${TOOL} --kind "bad${escape}[2J" --out ${OUT} RESULT_VARIABLE code OUTPUT_QUIET
                ERROR_VARIABLE errors)
string(FIND "${errors}" "'bad\\x1B[2J' is not a kind" shown)
string(FIND "${errors}" "${escape}" raw)
if(NOT code EQUAL 2 OR shown EQUAL -1 OR NOT raw EQUAL -1)
  message(FATAL_ERROR "a refused kind with a control byte: exit ${code}\n${errors}")
endif()

run_tool(0 --kind smoke --kind 5 --kind CHECK --size 64x32 --out ${OUT})
check_png(${OUT}/kind-03-smoke.png 64 32)
check_png(${OUT}/kind-05.png 64 32)
check_png(${OUT}/kind-10-check.png 64 32)

run_tool(0 --scene --opaque --out ${OUT})
foreach(name scene-slot-00-smoke scene-slot-09-grain scene-slot-10-fog scene-slot-01-sand)
  check_png(${OUT}/${name}.png 256 256)
endforeach()

# A folder in the way of the finished file: the write fails and cleans up.
file(MAKE_DIRECTORY ${OUT}/blocked/kind-14-grain.png)
run_tool(1 --kind GRAIN --out ${OUT}/blocked)
file(GLOB leftovers ${OUT}/*.partial ${OUT}/blocked/*.partial)
if(leftovers)
  message(FATAL_ERROR "partial files left: ${leftovers}")
endif()
file(REMOVE_RECURSE ${OUT})
