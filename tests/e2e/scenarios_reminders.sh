#!/usr/bin/env bash
# End-to-end scenarios of reminders: a due reminder rings through a real sound
# server, blinks the tray icon, shows its window and snoozes as chosen; without a
# sound server it still shows and nothing hangs.
# Usage: scenarios_reminders.sh SCENARIO PROGRAM XHELPER OUTDIR

source "$(dirname "$0")/lib.sh"

PULSE_PID=""
REC_PID=""

# A PulseAudio server of our own with a null sink, on a socket under the work
# folder; stopped by its PID when the scenario ends (lib.sh stops E2E_PIDS).
start_sound_server() {
    local dir="$E2E_WORK/pulse"
    mkdir -p "$dir"
    cat >"$dir/default.pa" <<PA
load-module module-null-sink sink_name=ci_sink rate=44100 channels=2
set-default-sink ci_sink
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
PA
    HOME="$dir" XDG_RUNTIME_DIR="$dir" setsid pulseaudio -n -F "$dir/default.pa" \
        --daemonize=no --exit-idle-time=-1 --use-pid-file=no </dev/null >"$dir/log" 2>&1 &
    PULSE_PID=$!
    E2E_PIDS+=("$PULSE_PID")
    export PULSE_SERVER="unix:$dir/native"
    local deadline=$(($(e2e_now_ms) + 5000))
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        pactl info >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    e2e_fail "the sound server did not start: $(cat "$dir/log")"
}

# Records what the null sink plays, from now on.
start_recording() {
    parecord --device=ci_sink.monitor --file-format=wav "$E2E_WORK/heard.wav" &
    REC_PID=$!
    E2E_PIDS+=("$REC_PID")
}

stop_recording() {
    kill -TERM "$REC_PID" 2>/dev/null || true
    wait "$REC_PID" 2>/dev/null || true
}

# The root mean square of the loudest tenth of a second of a 16-bit stereo 44.1 kHz
# WAV recording (0 for silence).
recording_rms() {
    perl -e '
        open(my $f, "<:raw", $ARGV[0]) or die; local $/; my $d = <$f>;
        my $p = index($d, "data"); $p = 40 if $p < 0;
        my @s = unpack("s<*", substr($d, $p + 8));
        my $best = 0;
        for (my $i = 0; $i + 8820 <= @s; $i += 8820) {
            my $sum = 0; $sum += $_ * $_ for @s[$i .. $i + 8819];
            $best = $sum / 8820 if $sum / 8820 > $best;
        }
        printf "%.1f\n", sqrt($best);' "$1"
}

# Writes quillnote.dat with the three default categories and one task whose
# reminder fell due a minute ago and rings SOUND (default: the bare "alarm.wav").
write_due_task() {
    local offset
    offset=$(date +%z)
    perl -e '
        my ($path, $offset, $sound) = @ARGV;
        my $zone = ($offset =~ /^([+-])(\d\d)(\d\d)$/) ? ($1 eq "-" ? -1 : 1) * ($2 * 3600 + $3 * 60) : 0;
        my $now = (time + $zone) / 86400 + 25569;
        my $moment = $now - 60 / 86400;
        sub str { my $s = shift; pack("l<", length $s) . join("", map { chr((255 - ord $_) ^ 0x3C) } split //, $s) }
        my $d = pack("C l< l<", 0, 1, 25) . "\x01" . str("Quillnote");
        my $i = 0;
        $d .= pack("C l< l<", 4, 4, $i++) . str($_) for qw(Personal Business Other);
        $d .= "\xFF";
        $d .= pack("C l< l<", 0, 4, 1);
        $d .= "\x01" . str("Call the dentist") . "\x02" . str("Before noon, about the filling.");
        $d .= pack("C l< d<", 3, 8, 0) . pack("C l< d<", 4, 8, $moment) . pack("C l< d<", 5, 8, $moment);
        $d .= "\x06" . str($sound);
        $d .= pack("C l< C", $_->[0], 1, $_->[1]) for [7, 1], [8, 1], [9, 1], [10, 0], [11, 0];
        $d .= pack("C l< l<", 12, 4, 0) . "\xFF";
        open(my $f, ">:raw", $path) or die; print $f $d;' "$DATA" "$offset" "${1:-alarm.wav}"
}

# A Standard MIDI File: a C major chord held for two seconds.
write_midi() {
    perl -e '
        my $t = pack("C*", 0, 0x90, 60, 100, 0, 0x90, 64, 100, 0, 0x90, 67, 100,
                     0x83, 0x00, 0x80, 60, 0, 0, 0x80, 64, 0, 0, 0x80, 67, 0, 0, 0xFF, 0x2F, 0);
        open(my $f, ">:raw", $ARGV[0]) or die;
        print $f "MThd" . pack("N n n n", 6, 0, 1, 96) . "MTrk" . pack("N", length $t) . $t;' "$1"
}

# The task's reminder moment in the data file, as days (a double).
stored_moment() {
    perl -e '
        open(my $f, "<:raw", $ARGV[0]) or die; local $/; my $d = <$f>;
        my $p = index($d, "\xFF") + 1;   # end of header (no 0xFF in it here)
        while ($p < length $d) {
            my $tag = ord substr($d, $p, 1); last if $tag == 0xFF;
            my $n = unpack("l<", substr($d, $p + 1, 4));
            if ($tag == 4) { printf "%.8f\n", unpack("d<", substr($d, $p + 5, 8)); exit }
            $p += 5 + ($n > 0 ? $n : 0);
        }' "$DATA"
}

now_days() {
    perl -e 'my ($o) = @ARGV; my $z = ($o =~ /^([+-])(\d\d)(\d\d)$/) ? ($1 eq "-" ? -1 : 1) * ($2 * 3600 + $3 * 60) : 0;
             printf "%.8f\n", (time + $z) / 86400 + 25569;' "$(date +%z)"
}

# The reminder window: the program's window whose title is the task's position.
find_reminder() { xdotool search --all --pid "$APP_PID" --name '^0$' 2>/dev/null | head -n1 || true; }

wait_reminder() { # wait_reminder MILLISECONDS; sets REMINDER_WIN
    local deadline=$(($(e2e_now_ms) + $1))
    REMINDER_WIN=""
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        REMINDER_WIN=$(find_reminder)
        if [ -n "$REMINDER_WIN" ] && e2e_is_viewable "$REMINDER_WIN"; then return 0; fi
        sleep 0.05
    done
    return 1
}

# The program started from a folder of its own, not the program's folder.
start_elsewhere() {
    mkdir -p "$E2E_WORK/elsewhere"
    cd "$E2E_WORK/elsewhere"
    e2e_start_app
    e2e_wait_main 15 || e2e_fail "no main window within 15 s"
}

# Distinct pictures the tray icon showed over about two seconds.
tray_icon_pictures() {
    local icon win i
    icon=$(e2e_tray_icon)
    win=${icon%% *}
    [ -n "$win" ] || return 0
    for i in $(seq 10); do
        import -window "$win" rgb:- 2>/dev/null | md5sum
        sleep 0.2
    done | sort -u | wc -l
}

# Picks "1 hour" in the reminder's drop-down with the keyboard and clicks OK.
answer_one_hour() {
    e2e_geometry "$REMINDER_WIN"
    local combo_x=$((X + 1 + 100 + 60)) combo_y=$((Y + 37 + 242 + 11))
    # The press opens the list at once, so the Escape that follows closes it and
    # leaves the focus on the drop-down: the program takes the events in order.
    xdotool mousemove "$combo_x" "$combo_y" click 1
    xdotool key Escape
    xdotool key Down Down Down Down
    e2e_screenshot reminder-one-hour
    xdotool mousemove $((X + WIDTH - 12 - 42)) $((Y + HEIGHT - 12 - 14)) click 1
}

scenario_reminder_rings() { rings_and_snoozes alarm.wav; }

# The same with a MIDI file, rendered with the General MIDI SoundFont.
scenario_reminder_rings_midi() {
    write_midi "$APP_DIR/chord.mid"
    rings_and_snoozes chord.mid
}

rings_and_snoozes() { # rings_and_snoozes SOUND (a name relative to the program's folder)
    start_sound_server
    write_due_task "$1"
    start_recording
    start_elsewhere
    local shown=$(e2e_now_ms)
    e2e_require "reminder window within two seconds of the main window" wait_reminder 2000
    e2e_log "reminder window after $(($(e2e_now_ms) - shown)) ms"
    e2e_screenshot reminder
    local pictures
    pictures=$(tray_icon_pictures)
    e2e_check "the tray icon alternates between two pictures (found $pictures)" test "$pictures" = 2
    stop_recording
    local rms
    rms=$(recording_rms "$E2E_WORK/heard.wav")
    e2e_log "recording: $(e2e_file_size "$E2E_WORK/heard.wav") bytes, RMS $rms"
    e2e_check "the alarm was heard on the sound server (RMS $rms)" \
        perl -e 'exit($ARGV[0] > 300 ? 0 : 1)' "$rms"
    e2e_check "the sound setting stays ($1 beside the program)" \
        grep -q "$(printf '%s' "$1" | perl -pe 's/(.)/chr((255 - ord $1) ^ 0x3C)/ge')" "$DATA"

    local before answered
    before=$(e2e_checksum "$DATA")
    answered=$(now_days)
    answer_one_hour
    e2e_check "OK closes the reminder" e2e_wait_viewable "$REMINDER_WIN" 3 not
    local deadline=$(($(e2e_now_ms) + 3000))
    while [ "$(e2e_checksum "$DATA")" = "$before" ] && [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        sleep 0.1
    done
    local moment
    moment=$(stored_moment)
    e2e_log "answered at $answered, stored moment $moment"
    e2e_check "quillnote.dat holds the moment an hour later" perl -e '
        my ($m, $a) = @ARGV; my $d = ($m - $a) * 86400; exit(($d > 3590 && $d < 3620) ? 0 : 1)' \
        "$moment" "$answered"
    e2e_screenshot after-ok
    e2e_close_main
    e2e_wait_exit "$APP_PID" 10
    e2e_check "the program ends cleanly (status $EXIT_RC)" test "$EXIT_RC" = 0
}

scenario_reminder_without_sound_server() {
    export PULSE_SERVER="unix:$E2E_WORK/no-such-server"
    write_due_task
    start_elsewhere
    e2e_require "reminder window within two seconds of the main window" wait_reminder 2000
    e2e_screenshot reminder
    local before
    before=$(e2e_checksum "$DATA")
    e2e_geometry "$REMINDER_WIN"
    xdotool mousemove $((X + WIDTH - 12 - 42)) $((Y + HEIGHT - 12 - 14)) click 1
    e2e_check "OK closes the reminder" e2e_wait_viewable "$REMINDER_WIN" 3 not
    local deadline=$(($(e2e_now_ms) + 3000))
    while [ "$(e2e_checksum "$DATA")" = "$before" ] && [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        sleep 0.1
    done
    e2e_check "the snooze was saved" test "$(e2e_checksum "$DATA")" != "$before"
    e2e_check "the sound setting stays although nothing could play it" \
        grep -q "$(printf 'alarm.wav' | perl -pe 's/(.)/chr((255 - ord $1) ^ 0x3C)/ge')" "$DATA"
    e2e_close_main
    e2e_wait_exit "$APP_PID" 10
    e2e_check "the program ends cleanly (status $EXIT_RC)" test "$EXIT_RC" = 0
}

# Ended by the session while a reminder waits: the program still saves and ends.
scenario_reminder_open_at_sigterm() {
    export PULSE_SERVER="unix:$E2E_WORK/no-such-server"
    write_due_task
    start_elsewhere
    e2e_require "reminder window within two seconds of the main window" wait_reminder 2000
    kill -TERM "$APP_PID"
    e2e_wait_exit "$APP_PID" 10
    e2e_check "the program ends cleanly (status $EXIT_RC)" test "$EXIT_RC" = 0
}

name=$1
shift
# The program is started from another folder: every path must stand on its own.
set -- "$(realpath -m "$1")" "$(realpath -m "$2")" "$(realpath -m "$3")"
declare -F "scenario_$name" >/dev/null || { echo "no scenario $name" >&2; exit 2; }
e2e_begin "$name" "$@"
"scenario_$name"
