# Environments of the sound output tests (tests/unit/sound_output_test.cpp): Wine's ALSA output
# redirected into a file that the test reads back, and an ALSA configuration with no usable output.
if(TEST sound_output_test)
    set(capture ${CMAKE_BINARY_DIR}/sound_capture)
    file(MAKE_DIRECTORY ${capture})
    file(WRITE ${capture}/file.conf
        "pcm.!default { type file; slave.pcm \"null\"; file \"${capture}/out.raw\"; format \"raw\" }\n")
    file(WRITE ${capture}/none.conf "pcm.!default { type hw; card 77 }\nctl.!default { type hw; card 77 }\n")
    set_property(TEST sound_output_test APPEND PROPERTY ENVIRONMENT
        "ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:${capture}/file.conf" "MIBO_SOUND_CAPTURE=${capture}/out.raw")
    set_property(TEST sound_output_test PROPERTY RUN_SERIAL TRUE)
    add_test(NAME sound_output_no_device_test COMMAND sound_output_test)
    set_tests_properties(sound_output_no_device_test PROPERTIES
        ENVIRONMENT "${MIBO_TEST_ENVIRONMENT};ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:${capture}/none.conf;MIBO_SOUND_NO_DEVICE=1"
        TIMEOUT 300)
endif()
