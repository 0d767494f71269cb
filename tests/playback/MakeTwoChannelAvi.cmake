# Makes the two-channel test recording: 320x180, 30 fps, 4 s. Front (00dc):
# red with a white 40x40 box at the top left, green from 2 s; rear (01dc):
# blue; PCM sine (02wb). H.264, a key frame every 30 frames, no B-frames.
if(EXISTS "${OUTPUT}")
  return()
endif()
find_program(FFMPEG ffmpeg)
if(NOT FFMPEG)
  message(STATUS "ffmpeg is not installed: no test recording")
  return()
endif()
execute_process(
  COMMAND ${FFMPEG} -nostdin -loglevel error -y
    -f lavfi -i color=c=red:s=320x180:r=30:d=2
    -f lavfi -i color=c=lime:s=320x180:r=30:d=2
    -f lavfi -i color=c=blue:s=320x180:r=30:d=4
    -f lavfi -i sine=frequency=440:sample_rate=44100:duration=4
    -filter_complex "[0:v][1:v]concat=n=2:v=1:a=0,drawbox=x=0:y=0:w=40:h=40:color=white:t=fill[front]"
    -map "[front]" -map 2:v -map 3:a
    -c:v libx264 -pix_fmt yuv420p -g 30 -bf 0 -c:a pcm_s16le
    "${OUTPUT}.part.avi"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}.part.avi")
  message(FATAL_ERROR "ffmpeg failed: ${result}")
endif()
file(RENAME "${OUTPUT}.part.avi" "${OUTPUT}")
