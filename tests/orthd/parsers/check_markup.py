"""Checks answers rendered by EscapeByDefaultTest with real parsers.

Input (argv[2]): one JSON object per line, {"doc": rendered answer, "value": the request text}.
argv[1] is "html" or "xml". Prints one line per case that the parser reads otherwise than as
the template's own structure holding the value as text; prints nothing when all hold.
"""
import json
import sys
import xml.dom.minidom
from html.parser import HTMLParser


class Collect(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags, self.attrs, self.texts = [], [], []

    def handle_starttag(self, tag, attrs):
        self.tags.append(tag)
        self.attrs.extend(attrs)

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)

    def handle_endtag(self, tag):
        self.tags.append("/" + tag)

    def handle_data(self, data):
        self.texts.append(data)

    def handle_comment(self, data):
        self.tags.append("!--")


def check_html(doc, value):
    # <div title="V" data-a='V'><span>V</span>V</div>
    parser = Collect()
    parser.feed(doc)
    parser.close()
    if parser.tags != ["div", "span", "/span", "/div"]:
        return "tags %r" % parser.tags
    if parser.attrs != [("title", value), ("data-a", value)]:
        return "attributes %r" % parser.attrs
    if "".join(parser.texts) != value + value:
        return "text %r" % parser.texts
    return None


def normal_attribute(value):
    return "".join(" " if c in "\t\n\r" else c for c in value)


def check_xml(doc, value):
    # <?xml?><?xml-stylesheet type="text/xsl" href="V?cmd=..." ?><o><d n="V" s='V'/><t>V</t></o>
    kept = "".join(c for c in value if ord(c) >= 0x20 or c in "\t\n\r")
    parsed = xml.dom.minidom.parseString(doc.encode("utf-8"))
    pis = [n for n in parsed.childNodes if n.nodeType == n.PROCESSING_INSTRUCTION_NODE]
    if len(pis) != 1 or pis[0].data.count('"') != 4:
        return "stylesheet instruction %r" % [p.data for p in pis]
    root = parsed.documentElement
    children = [n.tagName for n in root.childNodes if n.nodeType == n.ELEMENT_NODE]
    if root.tagName != "o" or children != ["d", "t"]:
        return "elements %s %r" % (root.tagName, children)
    d = root.getElementsByTagName("d")[0]
    if sorted(d.attributes.keys()) != ["n", "s"]:
        return "attributes %r" % list(d.attributes.keys())
    if d.getAttribute("n") != normal_attribute(kept) or d.getAttribute("s") != normal_attribute(kept):
        return "attribute values %r" % d.getAttribute("n")
    t = root.getElementsByTagName("t")[0]
    text = "".join(n.data for n in t.childNodes)
    if text != kept.replace("\r\n", "\n").replace("\r", "\n"):
        return "text %r" % text
    return None


def main():
    check = check_html if sys.argv[1] == "html" else check_xml
    with open(sys.argv[2], encoding="utf-8") as cases:
        for number, line in enumerate(cases):
            case = json.loads(line)
            try:
                problem = check(case["doc"], case["value"])
            except Exception as error:  # a parse failure is a finding too
                problem = "parse error %s" % error
            if problem:
                print("case %d %r: %s" % (number, case["value"], problem))


main()
