// The dialog with the spelling commands alone: open, marked words, suggestions, keyboard, Finish.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario, openDialog } = require('./harness');

const TEXT = 'Dear Sam, thank you for your leter. I recieve it yesterday.';

test('the dialog marks the misspelt words, lists suggestions and writes the text back', () =>
    scenario('dialog_spell', async ({ page, url }) => {
        await page.goto(url + '/');
        await page.fill('#dialog-field', TEXT);
        const frame = await openDialog(page, '#dialog-field');

        const marked = await frame.$$eval('#pane [data-problem]', (els) => els.map((e) => e.textContent));
        assert.deepEqual(marked, ['leter', 'recieve']);
        assert.equal(await frame.textContent('#pane [data-problem].current'), 'leter');
        assert.equal(await frame.textContent('#word'), 'leter');
        await frame.waitForSelector('#choices [role=option]');
        const choices = await frame.$$eval('#choices [role=option]', (els) => els.map((e) => e.textContent));
        assert.ok(choices.includes('letter'), choices.join(','));
        assert.equal(await frame.inputValue('#changeTo'), choices[0]);
        assert.equal(await frame.getAttribute('#choices', 'role'), 'listbox');

        // Keyboard: arrows move through the list and fill "Change to".
        await frame.focus('#choices');
        await page.keyboard.press('ArrowDown');
        assert.equal(await frame.inputValue('#changeTo'), choices[1]);

        // Another marked word by click: its own suggestions.
        await frame.click('#pane [data-problem="1"]');
        await frame.waitForFunction(() => document.querySelector('#choices [role=option]') &&
                                          document.getElementById('word').textContent === 'recieve');
        assert.ok((await frame.$$eval('#choices [role=option]', (e) => e.map((x) => x.textContent))).includes('receive'));

        // Finish hands the text back and closes the dialog.
        await frame.click('#finish');
        await page.waitForSelector('iframe.vb-frame', { state: 'detached' });
        assert.equal(await page.inputValue('#dialog-field'), TEXT);
        assert.equal(await page.evaluate(() => window.dialogResult), TEXT);
    }));

test('Escape closes the dialog and leaves the field as it was', () =>
    scenario('dialog_spell-escape', async ({ page, url }) => {
        await page.goto(url + '/');
        await page.fill('#dialog-field', TEXT);
        const frame = await openDialog(page, '#dialog-field');
        await frame.focus('#changeTo');
        await page.keyboard.press('Escape');
        await page.waitForSelector('iframe.vb-frame', { state: 'detached' });
        assert.equal(await page.evaluate(() => window.dialogResult), null);
        assert.equal(await page.inputValue('#dialog-field'), TEXT);
    }));

test('a rich field keeps its markup through the dialog', () =>
    scenario('dialog_spell-rich', async ({ page, url }) => {
        await page.goto(url + '/');
        const html = 'A <b>bold</b> wrod and <i>more</i>.';
        await page.evaluate((h) => { document.getElementById('kwirl-rich').innerHTML = h; }, html);
        const frame = await openDialog(page, '#kwirl-rich');
        assert.equal(await frame.textContent('#pane [data-problem].current'), 'wrod');
        assert.equal(await frame.textContent('#pane b'), 'bold');
        await frame.click('#finish');
        await page.waitForSelector('iframe.vb-frame', { state: 'detached' });
        assert.equal(await page.innerHTML('#kwirl-rich'), html);
    }));

test('markup in the service answers stays inert in the dialog', () =>
    scenario('dialog_spell-hostile', async ({ page, url }) => {
        const hostile = '<img src=x onerror="parent.pwned=1"><script>parent.pwned=1</script>';
        // Answers as a compromised engine could shape them: a marked view and a suggestion list
        // carrying script.
        await page.route(/orthd\.cgi$/, async (route) => {
            const body = route.request().postData() || '';
            if (/(^|&)cmd=spell(&|$)/.test(body)) {
                return route.fulfill({ contentType: 'text/html; charset=UTF-8', body:
                    `<div id="vb-view">A ${hostile}<a onclick="submit_bot('suggest','wrod',2,4,0,0,'wrod')" ` +
                    `class=cerr onmouseover="parent.pwned=1" href="javascript:parent.pwned=1">wrod</a>.</div>` +
                    '<form id="vb-state"><input type="hidden" name="text" value="A wrod."></form>' });
            }
            if (/(^|&)cmd=suggest(&|$)/.test(body)) {
                return route.fulfill({ contentType: 'text/html; charset=UTF-8',
                                       body: `<div id="suggestlist">${hostile},word</div>` });
            }
            return route.continue();
        });
        await page.goto(url + '/');
        await page.fill('#dialog-field', 'A wrod.');
        const frame = await openDialog(page, '#dialog-field');
        await frame.waitForSelector('#choices [role=option]');
        await frame.hover('#pane [data-problem]');
        await frame.click('#pane [data-problem]');
        await page.waitForTimeout(300);
        assert.equal(await page.evaluate(() => window.pwned), undefined);
        assert.equal(await frame.evaluate(() => window.pwned), undefined);
        assert.equal(await frame.$$eval('#pane script, #pane [onerror], #pane [onclick], #pane [onmouseover], #pane [href]', (e) => e.length), 0);
        assert.equal(await frame.$$eval('#choices img, #choices script', (e) => e.length), 0);
        const choices = await frame.$$eval('#choices [role=option]', (els) => els.map((e) => e.textContent));
        assert.ok(choices.includes('word'), choices.join('|'));
    }, { allowErrors: /40[34]/ }));   // the image of the hostile view is requested, in vain
