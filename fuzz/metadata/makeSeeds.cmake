# Writes the seed corpora of the metadata fuzzers: short real files made by
# ffmpeg. Run with -DOUT=<folder>.
set(lavfi -hide_banner -loglevel error -y -f lavfi -i sine=frequency=440:duration=0.3)
set(meta -metadata title=Seed -metadata artist=Fuzz -metadata album=Corpus -metadata track=1/2
         -metadata genre=Rock -metadata date=2004)
foreach(dir mpeg id3v1 id3v2 ogg asf)
  file(MAKE_DIRECTORY ${OUT}/${dir})
endforeach()

function(encode path)
  execute_process(COMMAND ffmpeg ${lavfi} ${ARGN} ${meta} ${path} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "ffmpeg could not write ${path}")
  endif()
endfunction()

encode(${OUT}/mpeg/cbr.mp3 -c:a libmp3lame -b:a 32k -write_id3v1 1)
encode(${OUT}/mpeg/vbr.mp3 -c:a libmp3lame -q:a 6 -ar 22050 -id3v2_version 4)
encode(${OUT}/mpeg/layer2.mp2 -c:a mp2 -b:a 64k)
encode(${OUT}/ogg/tone.ogg -c:a libvorbis -b:a 64k)
encode(${OUT}/asf/tone.wma -c:a wmav2 -b:a 32k)
encode(${OUT}/id3v1/v1only.mp3 -c:a libmp3lame -b:a 32k -write_id3v2 0 -write_id3v1 1)
foreach(name cbr.mp3 vbr.mp3)
  file(COPY ${OUT}/mpeg/${name} DESTINATION ${OUT}/id3v2)
endforeach()
file(COPY ${OUT}/mpeg/cbr.mp3 DESTINATION ${OUT}/id3v1)
