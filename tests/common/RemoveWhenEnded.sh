# Sourced by the test scripts. remove_when_ended DIR: DIR goes once this script has ended, however
# it ends. ctest's time limit ends a test with SIGKILL, which no trap sees, and kills every process
# under it: the folder is removed by one outside that tree.
remove_when_ended() {
  (setsid sh -c 'while kill -0 "$1" 2>/dev/null; do sleep 1; done; rm -rf "$2"' sh $$ "$1" \
    </dev/null >/dev/null 2>&1 &)
}
