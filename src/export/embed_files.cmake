# Write OUTPUT, a C++ source defining for each NAME=FILE pair in FILES a
# function NAME() that returns the bytes of FILE as a C string. The bytes are
# written as numbers, so that any compiler takes a file of any size.
#   cmake -DOUTPUT=out.cc "-DFILES=Name1=a.html;Name2=b.js" -P embed_files.cmake
set(source "// Made by embed_files.cmake from the page's files; do not edit.\n")
string(APPEND source "namespace marvolen {\n")
foreach(pair IN LISTS FILES)
  string(REPLACE "=" ";" parts "${pair}")
  list(GET parts 0 name)
  list(GET parts 1 file)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND source "namespace {\nconst unsigned char k${name}[] = {\n${bytes}0};\n}  // namespace\n")
  string(APPEND source
         "const char* ${name}() { return reinterpret_cast<const char*>(k${name}); }\n")
endforeach()
string(APPEND source "}  // namespace marvolen\n")
file(WRITE "${OUTPUT}.new" "${source}")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
