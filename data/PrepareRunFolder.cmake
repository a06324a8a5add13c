# Copies the sample tables into the run folder's DB/ only when that folder does not exist yet.
if(NOT EXISTS "${TO}")
  file(MAKE_DIRECTORY "${TO}")
  file(GLOB tables "${FROM}/*")
  if(tables)
    file(COPY ${tables} DESTINATION "${TO}")
  endif()
endif()
