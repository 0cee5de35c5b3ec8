# A private CUPS server with a cups-pdf queue, for the end-to-end scripts (sourced).
#
# The server keeps everything under one folder: configuration, spool, cache, state, logs and
# its socket, which CUPS_SERVER names for every client (the lp tools, libcups, Qt's printer
# lookup). So it neither needs nor touches a system CUPS. cups-pdf reads its settings from
# /etc/cups/cups-pdf-INSTANCE.conf only: each queue gets its own instance file, removed again
# by cups_stop.
#
#   cups_start DIR           start cupsd under DIR (a new, empty folder); exports CUPS_SERVER
#   cups_add_pdf_queue Q OUT a cups-pdf queue Q whose PDF files land in the folder OUT
#   cups_wait_idle Q SECS    wait until queue Q holds no job
#   cups_stop                stop the server started here, remove the instance files
#   cups_script_begin        for a script with report.sh: a private folder $tmp (removed at
#                            exit), the report environment below it and a server under it
#
# Call cups_stop from the script's EXIT trap, so that a failing check stops the server too.

CUPS_PID=
CUPS_DIR=
CUPS_INSTANCE_FILES=()

cups_start() {
    CUPS_DIR=$1
    command -v cupsd >/dev/null || { echo "cups: cupsd is not installed (scripts/setup)" >&2; return 1; }
    [ -f /usr/lib/cups/backend/cups-pdf ] ||
        { echo "cups: the cups-pdf backend is missing (printer-driver-cups-pdf)" >&2; return 1; }
    # Filters run as the lp user: every folder on the way to the spool must be searchable,
    # or jobs stay in the queue for good.
    mkdir -p "$CUPS_DIR" && chmod 755 "$CUPS_DIR"
    if ! runuser -u lp -- test -x "$CUPS_DIR"; then
        echo "cups: the lp user cannot reach $CUPS_DIR: make its parent folders searchable" >&2
        return 1
    fi
    mkdir -p "$CUPS_DIR/etc/ppd" "$CUPS_DIR/spool/tmp" "$CUPS_DIR/cache" "$CUPS_DIR/state" \
        "$CUPS_DIR/log"
    cat >"$CUPS_DIR/etc/cupsd.conf" <<CONF
Listen $CUPS_DIR/cups.sock
Browsing No
WebInterface No
LogLevel warn
# CUPS's page log, with the colour mode the job asked for last.
PageLogFormat %p %u %j %T %P %C %{job-billing} %{job-originating-host-name} %{job-name} %{media} %{sides} %{print-color-mode}
# Only this machine's users reach the socket; the test administers it without passwords.
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cat >"$CUPS_DIR/etc/cups-files.conf" <<CONF
SystemGroup root
RequestRoot $CUPS_DIR/spool
TempDir $CUPS_DIR/spool/tmp
CacheDir $CUPS_DIR/cache
StateDir $CUPS_DIR/state
ErrorLog $CUPS_DIR/log/error_log
AccessLog $CUPS_DIR/log/access_log
PageLog $CUPS_DIR/log/page_log
CONF
    export CUPS_SERVER=$CUPS_DIR/cups.sock
    cupsd -f -c "$CUPS_DIR/etc/cupsd.conf" -s "$CUPS_DIR/etc/cups-files.conf" \
        >"$CUPS_DIR/log/cupsd.out" 2>&1 &
    CUPS_PID=$!
    local tenths=100
    until lpstat -r 2>/dev/null | grep -q "is running"; do
        if ! kill -0 "$CUPS_PID" 2>/dev/null; then
            echo "cups: cupsd ended at start:" >&2
            cat "$CUPS_DIR/log/cupsd.out" "$CUPS_DIR/log/error_log" >&2 2>/dev/null
            CUPS_PID=
            return 1
        fi
        [ "$tenths" -gt 0 ] || { echo "cups: cupsd did not answer within 10 s" >&2; return 1; }
        tenths=$((tenths - 1))
        sleep 0.1
    done
}

cups_add_pdf_queue() {
    local queue=$1 out=$2 instance="zel-$1-$$"
    local conf=/etc/cups/cups-pdf-$instance.conf
    mkdir -p "$out" "$CUPS_DIR/cups-pdf/spool" "$CUPS_DIR/cups-pdf/log"
    CUPS_INSTANCE_FILES+=("$conf")
    cat >"$conf" <<CONF
Out $out
AnonDirName $out
Spool $CUPS_DIR/cups-pdf/spool
Log $CUPS_DIR/cups-pdf/log
CONF
    # Without the pdftocairo renderer the files get Type 3 fonts that pdftotext cannot read.
    # (lpadmin warns that PPD drivers are deprecated: shown only when it fails.)
    if ! lpadmin -p "$queue" -E -v "cups-pdf:/$instance" \
        -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -o pdftops-renderer-default=pdftocairo \
        2>"$CUPS_DIR/log/lpadmin.err"; then
        cat "$CUPS_DIR/log/lpadmin.err" >&2
        return 1
    fi
    cupsenable "$queue" && cupsaccept "$queue"
}

cups_wait_idle() {
    local queue=$1 tenths=$(($2 * 10))
    while [ -n "$(lpstat -o "$queue" 2>/dev/null)" ]; do
        if [ "$tenths" -le 0 ]; then
            echo "cups: queue $queue still holds jobs after $2 s:" >&2
            lpstat -l -o "$queue" >&2
            cat "$CUPS_DIR/log/error_log" >&2 2>/dev/null
            return 1
        fi
        tenths=$((tenths - 1))
        sleep 0.1
    done
}

cups_stop() {
    if [ -n "$CUPS_PID" ]; then
        kill -TERM "$CUPS_PID" 2>/dev/null
        wait "$CUPS_PID" 2>/dev/null
        CUPS_PID=
    fi
    local conf
    for conf in "${CUPS_INSTANCE_FILES[@]}"; do rm -f "$conf"; done
    CUPS_INSTANCE_FILES=()
}

cups_script_begin() {
    tmp=$(mktemp -d)
    trap 'cups_stop; rm -rf "$tmp"' EXIT
    chmod 755 "$tmp"  # the filters run as the lp user and read the spool below it
    report_env "$tmp"
    cups_start "$tmp/cups" || report_fail "cannot start a private CUPS server"
}
