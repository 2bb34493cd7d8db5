# Copies the files of SRC into DST where DST has no file of that name; never overwrites.
file(GLOB files ${SRC}/*)
foreach(f ${files})
  get_filename_component(name ${f} NAME)
  if(NOT EXISTS ${DST}/${name})
    file(COPY ${f} DESTINATION ${DST})
  endif()
endforeach()
