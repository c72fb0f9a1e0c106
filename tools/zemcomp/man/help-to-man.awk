# Turns the help of one zemcomp subcommand (`zemcomp SUBCOMMAND --help`, as the
# option parser prints it) into man page text for help2man's --include file:
# option and dialect lines become tagged paragraphs, headings bold, other lines
# running text. The first line, the subcommand's summary, is left to the caller.
function escape(text) {
    gsub(/\\/, "\\e", text)
    gsub(/-/, "\\-", text)
    if (text ~ /^[.']/)
        text = "\\&" text
    return text
}
function flush() {
    if (tag != "") {
        text = 0
        print ".TP"
        print "\\fB" escape(tag) "\\fR"
        print escape(body)
    }
    tag = ""
    body = ""
}
NR == 1 { next }
/^Dialects \(/ { exit }
/^Usage: / {
    flush()
    print ".PP"
    print "\\fBUsage:\\fR " escape(substr($0, 8))
    next
}
/^$/ { flush(); text = 0; next }
/^[A-Z][^:]*:$/ {
    flush()
    print ".PP"
    print "\\fB" escape($0) "\\fR"
    next
}
# A description carried on to its own line, under its option.
/^                      +[^ ]/ && tag != "" {
    sub(/^ +/, "")
    body = body == "" ? $0 : body " " $0
    next
}
# "  --option ARG        What it does", or an option alone on its line.
/^  [^ ]/ {
    flush()
    line = substr($0, 3)
    split_at = match(line, /  +/)
    if (split_at) {
        tag = substr(line, 1, split_at - 1)
        body = substr(line, split_at + RLENGTH)
    } else {
        tag = line
        body = ""
    }
    next
}
{
    if (tag != "" || !text)
        print ".PP"
    flush()
    text = 1
    print escape($0)
}
END { flush() }
