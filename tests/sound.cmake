# Environments of the sound output tests (tests/unit/sound_output): Wine's ALSA output
# redirected into a file that the test reads back, and an ALSA configuration with no usable output.
# Wine's PulseAudio driver is switched off for both, so that a desktop's sound server cannot take
# the place of the ALSA device under test.
if(TARGET sound_output_tests)
    set(capture ${CMAKE_BINARY_DIR}/sound_capture)
    file(MAKE_DIRECTORY ${capture})
    file(WRITE ${capture}/file.conf
        "pcm.!default { type file; slave.pcm \"null\"; file \"${capture}/out.raw\"; format \"raw\" }\n")
    file(WRITE ${capture}/none.conf "pcm.!default { type hw; card 77 }\nctl.!default { type hw; card 77 }\n")
    set(sound_environment ${MIBO_TEST_ENVIRONMENT})
    list(FILTER sound_environment EXCLUDE REGEX "^WINEDLLOVERRIDES=")
    list(APPEND sound_environment "WINEDLLOVERRIDES=mscoree,mshtml,winepulse.drv=d")
    # Each entry runs only the cases of its own environment, so neither skips the other's.
    add_test(NAME sound_output_tests COMMAND sound_output_tests --gtest_filter=-SoundOutput.WithoutAnyDevice*)
    set_tests_properties(sound_output_tests PROPERTIES
        ENVIRONMENT "${sound_environment};ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:${capture}/file.conf;MIBO_SOUND_CAPTURE=${capture}/out.raw"
        RUN_SERIAL TRUE)
    add_test(NAME sound_output_no_device_tests COMMAND sound_output_tests --gtest_filter=SoundOutput.WithoutAnyDevice*)
    set_tests_properties(sound_output_no_device_tests PROPERTIES
        ENVIRONMENT "${sound_environment};ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:${capture}/none.conf;MIBO_SOUND_NO_DEVICE=1"
        TIMEOUT 300)
endif()
