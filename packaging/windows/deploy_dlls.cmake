# Install step of the Windows program folder: copies in every DLL that its
# programs and plugins import, directly or through another DLL, from the
# folders of LUMERA_DLL_DIRS (Qt's and the mingw runtime's), and strips
# every program and DLL of the folder. Imports found in none of those
# folders are the system's.
# Set before: LUMERA_DLL_DIRS, LUMERA_OBJDUMP, LUMERA_STRIP.
set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

# Windows finds DLLs whatever the case of their names.
foreach(dir IN LISTS LUMERA_DLL_DIRS)
  file(GLOB dlls "${dir}/*.dll")
  foreach(dll IN LISTS dlls)
    get_filename_component(name "${dll}" NAME)
    string(TOLOWER "${name}" key)
    if(NOT DEFINED "source_${key}")
      set("source_${key}" "${dll}")
    endif()
  endforeach()
endforeach()

file(GLOB_RECURSE pending "${folder}/*.exe" "${folder}/*.dll")
set(copied)
while(pending)
  list(POP_FRONT pending file)
  execute_process(COMMAND "${LUMERA_STRIP}" --strip-unneeded "${file}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "strip ${file} failed")
  endif()
  execute_process(COMMAND "${LUMERA_OBJDUMP}" -p "${file}"
                  OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "objdump -p ${file} failed")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${headers}")
  foreach(import IN LISTS imports)
    string(REGEX REPLACE "^DLL Name: " "" name "${import}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" key)
    list(FIND copied "${key}" at)
    if(DEFINED "source_${key}" AND at EQUAL -1)
      list(APPEND copied "${key}")
      get_filename_component(dll_name "${source_${key}}" NAME)
      file(INSTALL "${source_${key}}" DESTINATION "${folder}")
      list(APPEND pending "${folder}/${dll_name}")
    endif()
  endforeach()
endwhile()
