"""Settings files for the scripts that write samples and presets: the entries
of an extraction settings file (*.kta), sixteen 50-byte fields per entry in
the file's order with spaces written "[SP]", and display settings files
(*.kdp) with their padded placeholders."""
import base64

ORDER = ["japaneseCodeEndTag", "japaneseCodeStartTag", "nextLineHead", "lineEnd", "contentEndTag",
         "contentStartTag", "encodingEndTag", "encodingStartTag", "searchAfterPrevious", "applyToMultiple",
         "name", "rangeEndTag", "rangeStartTag", "kind", "dataTypeEndTag", "dataTypeStartTag"]


def entry(kind, name, start, end, multiple=False, **more):
    e = {k: b"" for k in ORDER}
    e.update(kind=kind.encode(), name=name.encode("cp932"), rangeStartTag=start, rangeEndTag=end,
             applyToMultiple=b"Y" if multiple else b"N", searchAfterPrevious=b"N")
    e.update(more)
    data = b""
    for k in ORDER:
        v = e[k].replace(b" ", b"[SP]")
        assert len(v) <= 50, (name, k)
        data += v + b" " * (50 - len(v))
    return data


def placeholder(name, width):
    """A placeholder padded with spaces to its whole width."""
    p = "??" + name
    assert len(p) + 2 <= width, name
    return p + " " * (width - len(p) - 2) + "??"


def kdp(template, layout):
    """The two texts (Shift_JIS) as a display settings file."""
    assert "\r" not in template and "\n" not in template
    return (base64.b64encode(template.encode("cp932")) + b"\r\n" +
            base64.b64encode(layout.encode("cp932") + b"\0"))
