// Dialog client: opens the spell-check dialog for a text field.
var qdr = {
    serviceHost: '<#service_host#>',
    relayUrl: '<#ferrix_url#>',
    open: function (field) {
        var url = '?cmd=spell&text=' + encodeURIComponent(field.value);
        window.open(url, 'qdr', 'width=640,height=480');
    }
};
