#!/usr/bin/env bash
# Makes the stand-in's lesson video, 20 seconds of moving colour bars with a tone, in the two
# forms course videos come in: H.264 with AAC in MP4, and VP8 with Vorbis in WebM.
#   make_lesson_video.sh <gst-launch-1.0> <lesson-video.mp4> <lesson-video.webm>
set -euo pipefail
launch=$1
mp4=$2
webm=$3
inspect=$(dirname "$launch")/gst-inspect-1.0
for element in videotestsrc audiotestsrc x264enc avenc_aac mp4mux vp8enc vorbisenc webmmux \
               audioconvert; do
    "$inspect" --exists "$element" || {
        echo "make_lesson_video.sh: the GStreamer element $element is missing" \
             "(scripts/install-deps.sh installs it)" >&2
        exit 1
    }
done

# 500 frames at 25/s and 862 blocks of 1024 samples at 44.1 kHz: 20 s each. The bars scroll,
# so that a picture taken later differs from one taken earlier.
video="videotestsrc num-buffers=500 pattern=smpte horizontal-speed=4
       ! video/x-raw,width=320,height=240,framerate=25/1"
audio="audiotestsrc num-buffers=862 wave=sine freq=440 volume=0.2
       ! audio/x-raw,rate=44100,channels=1"
# shellcheck disable=SC2086
"$launch" -q $video ! x264enc speed-preset=veryfast bitrate=200 key-int-max=50 \
    ! video/x-h264,profile=constrained-baseline ! mp4mux faststart=true name=mux \
    ! filesink location="$mp4.part" $audio ! avenc_aac ! mux.
# shellcheck disable=SC2086
"$launch" -q $video ! vp8enc deadline=1 target-bitrate=200000 ! webmmux name=mux \
    ! filesink location="$webm.part" $audio ! audioconvert ! vorbisenc ! mux.
mv "$mp4.part" "$mp4"
mv "$webm.part" "$webm"
