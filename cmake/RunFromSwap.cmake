# run_from_swap(TARGET): marks a Windows image to be run from the page file when it is started
# from a removable or network drive (the file header's characteristics 0x0400 and 0x0800). A
# program or library on a game disk is then read whole at its start, so the disks can be
# changed under it; otherwise Windows reads its pages from the drive when first needed, and a
# page of the old disk taken from the new one crashes it. GNU ld has no option for these flags,
# so the header is patched after the link (perl is part of every Debian system).
function(run_from_swap target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND perl -e [[open my $f, '+<', $ARGV[0] or die "$ARGV[0]: $!\n"; binmode $f; read $f, my $dos, 64; my $at = unpack('V', substr($dos, 60, 4)) + 22; seek $f, $at, 0; read $f, my $flags, 2; seek $f, $at, 0; print $f pack('v', unpack('v', $flags) | 0x0C00); close $f or die "$ARGV[0]: $!\n";]] $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
