<?xml version="1.0" encoding="utf-8"?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:output method="html" encoding="utf-8"/>
<xsl:template match="/error">
<html>
<head><title>Verbarium: Error</title>
<style>body { font: 12px Verdana, sans-serif; text-align: center; } .criticalError { color: red; }</style>
</head>
<body>
<div>
<xsl:if test="critical = 1"><xsl:attribute name="class">criticalError</xsl:attribute></xsl:if>
<xsl:value-of select="message"/>
</div>
</body>
</html>
</xsl:template>
</xsl:stylesheet>
